// The window's statement texts run through the database layer on a real file,
// and what they wrote read back by the sqlite3 shell.

#include "db/default_client.h"
#include "memo/statements.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <regex>

namespace agendia::testing {
namespace {

class StatementsOnSqliteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RunSqliteShell(database.path(), "select 1;")) GTEST_SKIP() << "no sqlite3 shell";
    auto created = db::MakeDefaultClient()->CreateConnection();
    ASSERT_TRUE(created.ok());
    connection = *created;
    ASSERT_TRUE(connection->SetCommandTimeout(300).ok());
    ASSERT_TRUE(connection->SetConnectionTimeout(0).ok());
    const Status opened = connection->Open(database.ConnectionString());
    ASSERT_TRUE(opened.ok()) << opened.description();
  }
  void TearDown() override {
    if (connection && connection->State() == db::kStateOpen) connection->Close().IgnoreError();
  }

  void Execute(const std::string& statement) {
    const Status ran = connection->Execute(statement);
    ASSERT_TRUE(ran.ok()) << ran.description() << "\n" << statement;
  }
  std::string Shell(const std::string& sql) {
    auto output = RunSqliteShell(database.path(), sql);
    EXPECT_TRUE(output.has_value());
    return output.value_or("");
  }

  MemoDatabase database;
  std::shared_ptr<db::Connection> connection;
};

TEST_F(StatementsOnSqliteTest, AnInsertedMemoReadsBackAsWrittenWithAServerMadeIdentifier) {
  memo::NewMemo memo{"Bob's 'quoted' <b>", "it's VXSystem..here", "o'neil", "2024-03-01 09:30:00",
                     570,  2, "0'1", "2024"};
  Execute(*memo::InsertMemo(memo));
  EXPECT_EQ(Shell(".separator |\nselect nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, dSend, "
                  "nValidDay, bHasRead, DisplayPeriods, Account, Year from ZA_Message;"),
            "100|Bob's 'quoted' <b>|it's VXSystem..here|o'neil|o'neil|2024-03-01 09:30:00|570|0|2|"
            "0'1|2024\n");
  const std::string id = Shell("select cMsgId from ZA_Message;");
  EXPECT_TRUE(std::regex_match(id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\n")))
      << id;
}

TEST_F(StatementsOnSqliteTest, UpdateChangesOnlyTheEditedColumnsAndDeleteRemovesTheRow) {
  MemoRow row;
  row.id = "ID-1";
  row.kind = 0;
  row.account = "007";
  row.year = 2023;
  database.Insert(row);
  row.id = "ID-2";
  database.Insert(row);

  Execute(memo::UpdateMemo({"2024-03-04 17:05:00", "New 'title'", "New content", 1025, 5}, "ID-1", "demo"));
  EXPECT_EQ(Shell(".separator |\nselect cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
                  "dSend, nValidDay, DisplayPeriods, Account, Year from ZA_Message order by cMsgId;"),
            "ID-1|100|New 'title'|New content|demo|demo|2024-03-04 17:05:00|1025|5|007|2023\n"
            "ID-2|100|title|content|demo|demo|2024-03-01 09:30:00|0|0|007|2023\n");

  // Spaces around an identifier are part of it: " ID-1" is another row.
  Execute(memo::DeleteMemo(" ID-1", "demo"));
  EXPECT_EQ(Shell("select cMsgId from ZA_Message order by cMsgId;"), "ID-1\nID-2\n");
  Execute(memo::DeleteMemo("ID-1", "demo"));
  EXPECT_EQ(Shell("select cMsgId from ZA_Message;"), "ID-2\n");
}

TEST_F(StatementsOnSqliteTest, StatementsThatMatchNoRowChangeNothingAndReportNothing) {
  MemoRow row;
  row.id = "ID-1";
  database.Insert(row);
  Execute(memo::UpdateMemo({"2024-03-04 17:05:00", "t", "c", 1, 1}, "no such id", "demo"));
  Execute(memo::DeleteMemo("", "demo"));
  Execute(memo::DeleteMemo("x' or '1'='1", "demo"));
  EXPECT_EQ(Shell(".separator |\nselect cMsgId, cMsgTitle from ZA_Message;"), "ID-1|title\n");
}

}  // namespace
}  // namespace agendia::testing
