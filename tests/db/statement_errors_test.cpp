#include "db/database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace agendia::db {
namespace {

class DbStatementErrors : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    AddRow("'A1', 100, 'Dentist', NULL, 'demo', 'demo', '2024-02-01 08:00:00', 480, 0, 1, '001', 2024");
    connection_ = Connect();
    ASSERT_NE(connection_, nullptr);
  }

  Status OpenRecordset(const std::string& statement) {
    StatusOr<std::unique_ptr<Recordset>> rows = client_->CreateRecordset();
    EXPECT_TRUE(rows.ok());
    EXPECT_TRUE((*rows)->SetActiveConnection(connection_).ok());
    Status opened = (*rows)->Open(statement);
    EXPECT_EQ((*rows)->State(), opened.ok() ? kStateOpen : kStateClosed);
    return opened;
  }

  std::shared_ptr<Connection> connection_;
};

struct Case {
  const char* statement;
  int32_t code;
  const char* description;
};

const Case kFailingStatements[] = {
    {"selec * from VXSystem..ZA_Message", err::kErrorsInCommand, "near \"selec\": syntax error"},
    {"select * from VXSystem..ZA_Missing", err::kErrorsInCommand, "no such table: ZA_Missing"},
    {"select nosuch from VXSystem..ZA_Message", err::kErrorsInCommand, "no such column: nosuch"},
    {"select * from Other..ZA_Message", err::kErrorsInCommand, "near \".\": syntax error"},
    {"select * from ZA_Message where cMsgTitle='open", err::kErrorsInCommand,
     "unrecognized token: \"'open\""},
    {"insert into VXSystem..za_message (cMsgId, nMsgType) VALUES('A1', 100)",
     err::kIntegrityViolation, "UNIQUE constraint failed: ZA_Message.cMsgId"},
    {"insert into VXSystem..za_message (cMsgId, nMsgType) VALUES('a1', 100)",
     err::kIntegrityViolation, "UNIQUE constraint failed: ZA_Message.cMsgId"},
    {"insert into VXSystem..za_message (cMsgId, cMsgTitle) VALUES(NewID(), 'x')",
     err::kIntegrityViolation, "NOT NULL constraint failed: ZA_Message.nMsgType"},
};

TEST_F(DbStatementErrors, ExecuteReportsTheRejectedStatementAndTheConnectionGoesOn) {
  for (const Case& c : kFailingStatements) {
    SCOPED_TRACE(c.statement);
    const Status executed = connection_->Execute(c.statement);
    EXPECT_EQ(executed.code(), c.code);
    EXPECT_EQ(executed.description(), c.description);
    EXPECT_EQ(connection_->State(), kStateOpen);
  }
  EXPECT_EQ(ReadColumn(connection_, "select cMsgId from ZA_Message", "cMsgId"),
            std::vector<std::string>{"A1"});
}

TEST_F(DbStatementErrors, ARecordsetReportsTheRejectedStatementAndStaysClosed) {
  for (const Case& c : kFailingStatements) {
    SCOPED_TRACE(c.statement);
    const Status opened = OpenRecordset(c.statement);
    EXPECT_EQ(opened.code(), c.code);
    EXPECT_EQ(opened.description(), c.description);
  }
}

TEST_F(DbStatementErrors, ARecordsetOpensOneStatementOnly) {
  const Status two = OpenRecordset("select * from ZA_Message; delete from ZA_Message");
  EXPECT_EQ(two.code(), err::kErrorsInCommand);
  EXPECT_EQ(two.description(), "A recordset can be opened on one statement only");
  const Status none = OpenRecordset("  -- nothing\n ");
  EXPECT_EQ(none.code(), err::kErrorsInCommand);
  EXPECT_EQ(none.description(), "The statement is empty");

  EXPECT_TRUE(OpenRecordset("select * from ZA_Message; -- the memos\n").ok());
  EXPECT_EQ(ReadColumn(connection_, "select cMsgId from ZA_Message", "cMsgId"),
            std::vector<std::string>{"A1"});
}

TEST_F(DbStatementErrors, ExecuteRunsEveryStatementOfABatch) {
  const Status executed = connection_->Execute(
      "delete from VXSystem..ZA_Message; "
      "insert into VXSystem..ZA_Message (cMsgId, nMsgType) values ('X1', 100);"
      "insert into VXSystem..ZA_Message (cMsgId, nMsgType) values ('X2', 100); -- done\n");
  ASSERT_TRUE(executed.ok()) << executed.description();
  EXPECT_EQ(ReadColumn(connection_, "select cMsgId from ZA_Message order by 1", "cMsgId"),
            (std::vector<std::string>{"X1", "X2"}));
  EXPECT_TRUE(connection_->Execute("").ok());
}

// A failed statement may still have been carried out only when its answer
// can have been lost: a server's time-out or a broken connection, never a
// statement the server refused.
TEST(DbAnswerMayBeLost, IsATimeOutOrABrokenConnectionNeverARefusal) {
  const std::pair<int32_t, bool> cases[] = {
      {err::kTimeout, true},           {err::kUnspecified, true},
      {err::kErrorsInCommand, false},  {err::kIntegrityViolation, false},
      {err::kObjectClosed, false},     {err::kConnectionInvalid, false},
      {err::kProviderNotFound, false}, {err::kCannotCreateObject, false},
  };
  for (const auto& [code, lost] : cases) {
    SCOPED_TRACE(code);
    EXPECT_EQ(AnswerMayBeLost(Status::Error(code, "x")), lost);
  }
}

// SQLite runs in this process and rolls a failed statement back, so no
// failure of its connections leaves an outcome open, not even a lock that
// was not freed in time.
TEST_F(DbStatementErrors, TheEmbeddedDatabaseKnowsTheOutcomeOfEveryFailedStatement) {
  const Status failed = connection_->Execute("insert into VXSystem..ZA_Message (cMsgId) values ('A1')");
  ASSERT_EQ(failed.code(), err::kIntegrityViolation);
  EXPECT_FALSE(connection_->MayHaveBeenCarriedOut(failed));
  EXPECT_FALSE(connection_->MayHaveBeenCarriedOut(Status::Error(err::kTimeout, "database is locked")));
  EXPECT_FALSE(connection_->MayHaveBeenCarriedOut(Status::Error(err::kUnspecified, "disk I/O error")));
}

}  // namespace
}  // namespace agendia::db
