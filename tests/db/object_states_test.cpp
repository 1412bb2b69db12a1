#include "db/database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::db {
namespace {

const char* const kClosed = "Operation is not allowed when the object is closed.";
const char* const kOpen = "Operation is not allowed when the object is open.";
const char* const kInvalidConnection =
    "The connection cannot be used to perform this operation. It is either closed or invalid in "
    "this context.";

void ExpectFailure(const Status& status, int32_t code, const std::string& description) {
  EXPECT_EQ(status.code(), code);
  EXPECT_EQ(status.description(), description);
}

class DbObjectStates : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    AddTwoMemos();
  }

  std::shared_ptr<Connection> NewConnection() {
    StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
    EXPECT_TRUE(connection.ok());
    return connection.ok() ? *connection : nullptr;
  }
  std::unique_ptr<Recordset> NewRecordset() {
    StatusOr<std::unique_ptr<Recordset>> recordset = client_->CreateRecordset();
    EXPECT_TRUE(recordset.ok());
    return recordset.ok() ? std::move(*recordset) : nullptr;
  }
};

TEST_F(DbObjectStates, AConnectionIsCreatedClosedAndRefusesWorkUntilOpen) {
  std::shared_ptr<Connection> connection = NewConnection();
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->State(), kStateClosed);
  ExpectFailure(connection->Execute("delete from ZA_Message"), err::kObjectClosed, kClosed);
  ExpectFailure(connection->Close(), err::kObjectClosed, kClosed);
  EXPECT_TRUE(connection->SetCommandTimeout(300).ok());
  EXPECT_TRUE(connection->SetConnectionTimeout(0).ok());

  ASSERT_TRUE(connection->Open(connection_string()).ok());
  ExpectFailure(connection->Open(connection_string()), err::kObjectOpen, kOpen);
  ExpectFailure(connection->SetConnectionTimeout(5), err::kObjectOpen, kOpen);
  EXPECT_TRUE(connection->SetCommandTimeout(10).ok());

  ASSERT_TRUE(connection->Close().ok());
  ExpectFailure(connection->Execute("delete from ZA_Message"), err::kObjectClosed, kClosed);
  ExpectFailure(connection->Close(), err::kObjectClosed, kClosed);
  EXPECT_EQ(ReadColumn(Connect(), "select count(*) as n from ZA_Message", "n"),
            std::vector<std::string>{"2"});
}

TEST_F(DbObjectStates, TimeLimitsCannotBeNegative) {
  std::shared_ptr<Connection> connection = NewConnection();
  ASSERT_NE(connection, nullptr);
  ExpectFailure(connection->SetCommandTimeout(-1), err::kUnspecified,
                "CommandTimeout cannot be negative: -1");
  ExpectFailure(connection->SetConnectionTimeout(-2), err::kUnspecified,
                "ConnectionTimeout cannot be negative: -2");
}

TEST_F(DbObjectStates, ARecordsetIsCreatedClosedAndRefusesWorkUntilOpen) {
  std::unique_ptr<Recordset> rows = NewRecordset();
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->State(), kStateClosed);
  FieldValue value;
  ExpectFailure(rows->EndOfFile().status(), err::kObjectClosed, kClosed);
  ExpectFailure(rows->ReadValue("cMsgId", value), err::kObjectClosed, kClosed);
  ExpectFailure(rows->Value("cMsgId").status(), err::kObjectClosed, kClosed);
  ExpectFailure(rows->MoveNext(), err::kObjectClosed, kClosed);
  ExpectFailure(rows->Close(), err::kObjectClosed, kClosed);
}

TEST_F(DbObjectStates, ARecordsetNeedsAnOpenConnectionOfThisClient) {
  std::unique_ptr<Recordset> rows = NewRecordset();
  ASSERT_NE(rows, nullptr);
  ExpectFailure(rows->Open("select * from ZA_Message"), err::kConnectionInvalid, kInvalidConnection);

  std::shared_ptr<Connection> connection = NewConnection();
  ASSERT_TRUE(rows->SetActiveConnection(connection).ok());
  ExpectFailure(rows->Open("select * from ZA_Message"), err::kConnectionInvalid, kInvalidConnection);

  ASSERT_TRUE(connection->Open(connection_string()).ok());
  ASSERT_TRUE(rows->Open("select * from ZA_Message").ok());
  EXPECT_EQ(rows->State(), kStateOpen);

  ExpectFailure(rows->SetActiveConnection(nullptr), err::kObjectOpen, kOpen);
  ASSERT_TRUE(rows->Close().ok());
  ASSERT_TRUE(rows->SetActiveConnection(nullptr).ok());
  ExpectFailure(rows->Open("select * from ZA_Message"), err::kConnectionInvalid, kInvalidConnection);
}

TEST_F(DbObjectStates, ARecordsetRefusesAConnectionMadeElsewhere) {
  class ForeignConnection final : public Connection {
   public:
    Status SetCommandTimeout(long) override { return Status::Ok(); }
    Status SetConnectionTimeout(long) override { return Status::Ok(); }
    Status Open(const std::string&) override { return Status::Ok(); }
    Status Execute(const std::string&, long*) override { return Status::Ok(); }
    int State() const override { return kStateOpen; }
    Status Close() override { return Status::Ok(); }
  };
  std::unique_ptr<Recordset> rows = NewRecordset();
  ASSERT_NE(rows, nullptr);
  ExpectFailure(rows->SetActiveConnection(std::make_shared<ForeignConnection>()),
                err::kConnectionInvalid, kInvalidConnection);
}

TEST_F(DbObjectStates, AnOpenRecordsetRefusesToOpenOrChangeConnectionAndReopensAfterClose) {
  std::shared_ptr<Connection> connection = Connect();
  std::unique_ptr<Recordset> rows = Query(connection, "select * from ZA_Message order by cMsgId");
  ASSERT_NE(rows, nullptr);
  ExpectFailure(rows->Open("select * from ZA_Message"), err::kObjectOpen, kOpen);
  ExpectFailure(rows->SetActiveConnection(Connect()), err::kObjectOpen, kOpen);
  ASSERT_TRUE(rows->MoveNext().ok());
  EXPECT_EQ(ValueOf(*rows, "cMsgId").text, "B2");

  ASSERT_TRUE(rows->Close().ok());
  EXPECT_EQ(rows->State(), kStateClosed);
  ExpectFailure(rows->MoveNext(), err::kObjectClosed, kClosed);
  ASSERT_TRUE(rows->Open("select * from ZA_Message order by cMsgId").ok());
  EXPECT_EQ(ValueOf(*rows, "cMsgId").text, "A1");
}

TEST_F(DbObjectStates, ClosingTheConnectionClosesItsOpenRecordsets) {
  std::shared_ptr<Connection> connection = Connect();
  std::unique_ptr<Recordset> rows = Query(connection, "select * from ZA_Message");
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->State(), kStateOpen);

  ASSERT_TRUE(connection->Close().ok());

  EXPECT_EQ(rows->State(), kStateClosed);
  FieldValue value;
  ExpectFailure(rows->EndOfFile().status(), err::kObjectClosed, kClosed);
  ExpectFailure(rows->ReadValue("cMsgId", value), err::kObjectClosed, kClosed);
  ExpectFailure(rows->MoveNext(), err::kObjectClosed, kClosed);
  ExpectFailure(rows->Close(), err::kObjectClosed, kClosed);

  // Reopened, the same objects work again.
  ASSERT_TRUE(connection->Open(connection_string()).ok());
  ASSERT_TRUE(rows->Open("select * from ZA_Message where cMsgId='A1'").ok());
  EXPECT_EQ(ValueOf(*rows, "cMsgTitle").text, "Dentist");
}

TEST_F(DbObjectStates, ARecordsetKeepsItsConnectionAlive) {
  std::unique_ptr<Recordset> rows;
  {
    std::shared_ptr<Connection> connection = Connect();
    rows = Query(connection, "select * from ZA_Message order by cMsgId");
  }
  ASSERT_NE(rows, nullptr);
  ASSERT_TRUE(rows->MoveNext().ok());
  EXPECT_EQ(ValueOf(*rows, "cMsgTitle").text, "Gym");
}

TEST_F(DbObjectStates, ARecordsetOpenedOnAStatementWithoutRowsRunsItAndStaysClosed) {
  std::shared_ptr<Connection> connection = Connect();
  std::unique_ptr<Recordset> rows = NewRecordset();
  ASSERT_TRUE(rows->SetActiveConnection(connection).ok());

  ASSERT_TRUE(rows->Open("delete from VXSystem..za_message where cMsgID='A1'").ok());

  EXPECT_EQ(rows->State(), kStateClosed);
  EXPECT_EQ(ReadColumn(connection, "select cMsgId from ZA_Message", "cMsgId"),
            std::vector<std::string>{"B2"});
}

}  // namespace
}  // namespace agendia::db
