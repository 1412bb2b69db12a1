// The memo statements on a real PostgreSQL server through psqlODBC, read
// back with psql past the component: the texts that must survive the trip,
// two users writing at once, the time limit, and the failures' numbers.

#include "db/database.h"
#include "db/default_client.h"
#include "memo/statements.h"
#include "db/odbc/postgres_cluster.h"
#include "db/odbc/statement_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace agendia::db {
namespace {

using testing::PostgresCluster;

class PostgresStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cluster_.ready());
    cluster_.DeleteAllMemos();
  }

  // An open connection as the window opens one: CommandTimeout 300,
  // ConnectionTimeout 0.
  std::shared_ptr<Connection> Open(long command_timeout = 300) {
    return testing::OpenAsTheWindow(*client_, cluster_.ConnectionString(), command_timeout);
  }

  static memo::NewMemo Memo(std::string user, std::string title, std::string content) {
    return testing::WeeklyMemo(std::move(title), std::move(content), std::move(user));
  }

  // Column `column` of every row the select gives.
  std::vector<std::string> Read(const std::shared_ptr<Connection>& connection,
                                const std::string& select, const std::string& column) {
    return testing::ReadRows(*client_, connection, select, {column});
  }

  PostgresCluster cluster_;
  std::shared_ptr<Client> client_ = MakeDefaultClient();
};

TEST_F(PostgresStore, ChineseTextAndApostrophesSurviveTheRoundTrip) {
  const std::string title = "週會：討論「年度計畫」😀";
  const std::string content = "Bob's 'quoted' text -- not a comment /* nor this */ VXSystem..x NewID()";
  auto connection = Open();
  auto insert = memo::InsertMemo(Memo("張三", title, content));
  ASSERT_TRUE(insert.ok());
  const Status inserted = connection->Execute(*insert);
  ASSERT_TRUE(inserted.ok()) << inserted.description();

  EXPECT_EQ(Read(connection, memo::SelectByReceiver("張三"), "cMsgTitle"),
            std::vector<std::string>{title});
  EXPECT_EQ(Read(connection, memo::SelectByReceiver("張三"), "CMSGCONTENT"),
            std::vector<std::string>{content});
  EXPECT_EQ(cluster_.Psql("select cmsgtitle, cmsgcontent, csender, dsend, nvalidday, "
                          "displayperiods, account, year, bhasread from za_message"),
            (std::vector<std::string>{title + "|" + content +
                                      "|張三|2024-03-01 09:30:00|570|2|001|2024|0"}));
  // The identifier is the server's: an upper-case GUID the text never held.
  const auto ids = cluster_.Psql("select cmsgid from za_message");
  ASSERT_TRUE(ids.has_value());
  ASSERT_EQ(ids->size(), 1u);
  EXPECT_EQ(ids->front().size(), 36u);
  EXPECT_EQ(ids->front().find_first_of("abcdef"), std::string::npos);
}

TEST_F(PostgresStore, UpdateAndDeleteOfAMissingMemoSucceedAndChangeNothing) {
  auto connection = Open();
  ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "Kept", "x"))).ok());
  const Status updated =
      connection->Execute(memo::UpdateMemo({"2024-03-02 10:00:00", "t", "c", 600, 1}, "NO-SUCH", "demo"));
  EXPECT_TRUE(updated.ok()) << updated.description();
  const Status deleted = connection->Execute(memo::DeleteMemo("", "demo"));
  EXPECT_TRUE(deleted.ok()) << deleted.description();
  EXPECT_EQ(cluster_.Psql("select cmsgtitle from za_message"), std::vector<std::string>{"Kept"});
}

TEST_F(PostgresStore, ARecordsetOpenedOnAnActionStatementRunsItAndStaysClosed) {
  auto connection = Open();
  ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "Old", "x"))).ok());
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  const Status opened = (*recordset)->Open("update VXSystem..za_message set cMsgTitle='New'");
  EXPECT_TRUE(opened.ok()) << opened.description();
  EXPECT_EQ((*recordset)->State(), kStateClosed);
  EXPECT_EQ(cluster_.Psql("select cmsgtitle from za_message"), std::vector<std::string>{"New"});
}

TEST_F(PostgresStore, ReceiversMatchWithoutRegardToLetterCase) {
  auto connection = Open();
  ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("Demo", "Case", "x"))).ok());
  EXPECT_EQ(Read(connection, memo::SelectByReceiver("DEMO"), "cMsgTitle"),
            std::vector<std::string>{"Case"});
}

// The date column comes over as the driver's date structure: whole seconds,
// the text beside as the window writes dates, and a date the window cannot
// read (before the year 100, or the year -9999 psqlODBC gives for
// -infinity) as text, which the readers refuse as they refuse any text.
TEST_F(PostgresStore, DatesComeAsDateTimesToTheSecondAndDatesOutOfRangeAsText) {
  struct Case {
    const char* stored;
    FieldValue::Type type;
    const char* text;
    base::DateTime date_time;
  };
  const Case cases[] = {
      {"'2024-02-29 23:59:58'", FieldValue::Type::kDateTime, "2024-02-29 23:59:58",
       {{2024, 2, 29}, 23, 59, 58}},
      {"'2024-03-01'", FieldValue::Type::kDateTime, "2024-03-01 00:00:00", {{2024, 3, 1}, 0, 0, 0}},
      {"'infinity'", FieldValue::Type::kDateTime, "9999-12-31 23:59:59",
       {{9999, 12, 31}, 23, 59, 59}},
      {"'-infinity'", FieldValue::Type::kText, "-9999-01-01 00:00:00", {}},
      {"'0044-03-15 12:00:00 BC'", FieldValue::Type::kText, "-044-03-15 12:00:00", {}},
      {"null", FieldValue::Type::kNull, "", {}},
  };
  auto connection = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    cluster_.DeleteAllMemos();
    ASSERT_TRUE(cluster_.Psql(std::string("insert into za_message (cmsgid, nmsgtype, cmsgtitle, "
                                          "creceiver, dsend) values ('D', 100, 't', 'demo', ") +
                              c.stored + ")"));
    auto recordset = client_->CreateRecordset();
    ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
    ASSERT_TRUE((*recordset)->Open(memo::SelectByReceiver("demo")).ok());
    auto send = (*recordset)->Value("dSend");
    auto again = (*recordset)->Value("dSend");
    ASSERT_TRUE(send.ok() && again.ok()) << send.status().description();
    EXPECT_EQ(send->type, c.type);
    EXPECT_EQ(send->text, c.text);
    if (c.type == FieldValue::Type::kDateTime) {
      EXPECT_EQ(send->date_time, c.date_time);
    }
    EXPECT_EQ(again->type, send->type);
    EXPECT_EQ(again->text, send->text);
  }
}

TEST_F(PostgresStore, TwoUsersSavingAtTheSameTimeLoseNoMemo) {
  constexpr int kEach = 25;
  auto save_all = [this](const std::string& user, std::vector<Status>& results) {
    for (int i = 0; i < kEach; ++i) {
      // Each save opens its own connection, as the window's action does.
      auto connection = client_->CreateConnection();
      (*connection)->SetCommandTimeout(300).IgnoreError();
      (*connection)->SetConnectionTimeout(0).IgnoreError();
      Status status = (*connection)->Open(cluster_.ConnectionString());
      if (status.ok()) {
        status = (*connection)->Execute(
            *memo::InsertMemo(Memo(user, user + " " + std::to_string(i), "x")));
      }
      results.push_back(status);
    }
  };
  std::vector<Status> first, second;
  std::thread one(save_all, "alice", std::ref(first));
  std::thread two(save_all, "bob", std::ref(second));
  one.join();
  two.join();
  for (const auto* results : {&first, &second}) {
    for (const Status& status : *results) EXPECT_TRUE(status.ok()) << status.description();
  }
  EXPECT_EQ(cluster_.Psql("select creceiver, count(*) from za_message group by creceiver "
                          "order by creceiver"),
            (std::vector<std::string>{"alice|25", "bob|25"}));
}

TEST_F(PostgresStore, AStatementPastTheCommandTimeoutFailsWithTheTimeoutNumber) {
  auto connection = Open(/*command_timeout=*/1);
  const Status slept = connection->Execute("select pg_sleep(30)");
  EXPECT_EQ(slept.code(), err::kTimeout) << slept.description();
  // The connection is still good for the next statement.
  EXPECT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "After", "x"))).ok());

  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  EXPECT_EQ((*recordset)->Open("select pg_sleep(30) as n").code(), err::kTimeout);
}

TEST_F(PostgresStore, FailuresCarryTheNumbersOfTheEmbeddedDatabaseAndNeverThePassword) {
  auto connection = Open();
  const Status rejected = connection->Execute("select * from VXSystem..NoSuchTable");
  EXPECT_EQ(rejected.code(), err::kErrorsInCommand) << rejected.description();

  ASSERT_TRUE(cluster_.Psql("insert into za_message (cmsgid, nmsgtype) values ('DUP', 100)"));
  const Status duplicate = connection->Execute(
      "insert into VXSystem..za_message (cMsgId, nMsgType) VALUES('DUP', 100)");
  EXPECT_EQ(duplicate.code(), err::kIntegrityViolation) << duplicate.description();

  const std::string wrong_password = "Wrong-" + cluster_.password();
  std::string text = cluster_.ConnectionString();
  text.replace(text.find("Pwd=") + 4, std::string::npos, wrong_password);
  auto refused = client_->CreateConnection();
  const Status login = (*refused)->Open(text);
  EXPECT_EQ(login.code(), err::kUnspecified);
  EXPECT_NE(login.description().find("password authentication failed"), std::string::npos)
      << login.description();
  EXPECT_EQ(login.description().find(wrong_password), std::string::npos) << login.description();
  EXPECT_EQ((*refused)->State(), kStateClosed);
}

}  // namespace
}  // namespace agendia::db
