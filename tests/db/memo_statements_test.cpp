#include "db/database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>

namespace agendia::db {
namespace {

// The statements the calendar runs, in the calendar's own text.
std::string SelectMemosOf(const std::string& receiver) {
  return "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver='" + receiver + "'";
}
std::string SelectMemo(const std::string& id) {
  return "select * from VXSystem..ZA_Message where nMsgType=100 and cMsgID='" + id +
         "' and cReceiver='demo' ";
}
std::string InsertMemo(const std::string& quoted_title) {
  return "insert into VXSystem..za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
         "cReceiver, dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) VALUES(NewID(), "
         "100, '" + quoted_title + "','Room 3','demo','demo','2024-03-01 09:30:00', 570, 0, 2, "
         "'001', 2024)";
}
std::string UpdateMemo(const std::string& id) {
  return "update VXSystem..za_message set dSend='2024-03-01 09:30:00', cMsgTitle='T', "
         "cMsgContent='C', nValidDay=570, DisplayPeriods=2  where cMsgID='" + id +
         "' and nMsgType=100 and cReceiver='demo' ";
}
std::string DeleteMemo(const std::string& id) {
  return "delete from VXSystem..za_message where cMsgID='" + id +
         "' and nMsgType=100 and cReceiver='demo'";
}

const std::regex kNewId("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

class DbMemoStatements : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    // Two memos of demo, one of another user, one of demo that is no memo.
    AddRow("'A1', 100, 'Dentist', 'Bring card', 'demo', 'demo', '2024-02-01 08:00:00', 480, 0, 1, '001', 2024");
    AddRow("'B2', 100, 'Gym', NULL, 'demo', 'demo', '2024-02-02 18:00:00', 1080, 1, 3, '001', 2024");
    AddRow("'C3', 100, 'Lunch', 'Canteen', 'ann', 'ann', '2024-02-03 12:00:00', 720, 0, 1, '001', 2024");
    AddRow("'D4', 200, 'Notice', 'Not a memo', 'admin', 'demo', '2024-02-04 09:00:00', 0, 0, 0, '001', 2024");
    // As the calendar sets up its connection.
    StatusOr<std::shared_ptr<Connection>> created = client_->CreateConnection();
    ASSERT_TRUE(created.ok());
    connection_ = *created;
    ASSERT_TRUE(connection_->SetCommandTimeout(300).ok());
    ASSERT_TRUE(connection_->SetConnectionTimeout(0).ok());
    const Status opened = connection_->Open(connection_string());
    ASSERT_TRUE(opened.ok()) << opened.description();
  }

  std::vector<std::string> Titles(const std::string& select) {
    return ReadColumn(connection_, select, "cMsgTitle");
  }
  std::vector<std::string> AllTitles() {
    return Titles("select cMsgTitle from ZA_Message order by cMsgTitle");
  }

  std::shared_ptr<Connection> connection_;
};

TEST_F(DbMemoStatements, SelectByReceiverGivesOnlyTheMemosOfThatUser) {
  EXPECT_EQ(Titles(SelectMemosOf("demo")), (std::vector<std::string>{"Dentist", "Gym"}));
  EXPECT_EQ(Titles(SelectMemosOf("ann")), (std::vector<std::string>{"Lunch"}));
  EXPECT_EQ(Titles(SelectMemosOf("nobody")), (std::vector<std::string>{}));
}

TEST_F(DbMemoStatements, SelectByIdGivesThatMemoOnly) {
  EXPECT_EQ(Titles(SelectMemo("B2")), (std::vector<std::string>{"Gym"}));
  EXPECT_EQ(Titles(SelectMemo("D4")), (std::vector<std::string>{}));
  EXPECT_EQ(Titles(SelectMemo("none")), (std::vector<std::string>{}));
}

TEST_F(DbMemoStatements, InsertAddsAMemoWithANewIdAndEveryValue) {
  const Status inserted = connection_->Execute(InsertMemo("Team meeting"));
  ASSERT_TRUE(inserted.ok()) << inserted.description();

  std::unique_ptr<Recordset> rows = Query(connection_, SelectMemosOf("demo") + " and cMsgTitle='Team meeting'");
  ASSERT_NE(rows, nullptr);
  ASSERT_FALSE(AtEnd(*rows));
  const auto text = [&](const char* column) { return ValueOf(*rows, column).text; };
  const auto integer = [&](const char* column) { return ValueOf(*rows, column).integer; };
  EXPECT_TRUE(std::regex_match(text("cMsgId"), kNewId)) << text("cMsgId");
  EXPECT_EQ(integer("nMsgType"), 100);
  EXPECT_EQ(text("cMsgTitle"), "Team meeting");
  EXPECT_EQ(text("cMsgContent"), "Room 3");
  EXPECT_EQ(text("cSender"), "demo");
  EXPECT_EQ(text("cReceiver"), "demo");
  EXPECT_EQ(ValueOf(*rows, "dSend").type, FieldValue::Type::kDateTime);
  EXPECT_EQ(ValueOf(*rows, "dSend").date_time, (base::DateTime{{2024, 3, 1}, 9, 30, 0}));
  EXPECT_EQ(integer("nValidDay"), 570);
  EXPECT_EQ(integer("bHasRead"), 0);
  EXPECT_EQ(integer("DisplayPeriods"), 2);
  EXPECT_EQ(text("Account"), "001");
  EXPECT_EQ(integer("Year"), 2024);
  EXPECT_TRUE(rows->MoveNext().ok());
  EXPECT_TRUE(AtEnd(*rows));
}

TEST_F(DbMemoStatements, UpdateChangesTheMemoItNamesOnly) {
  const Status updated = connection_->Execute(UpdateMemo("A1"));
  ASSERT_TRUE(updated.ok()) << updated.description();

  std::unique_ptr<Recordset> rows = Query(connection_, SelectMemo("A1"));
  ASSERT_NE(rows, nullptr);
  ASSERT_FALSE(AtEnd(*rows));
  EXPECT_EQ(ValueOf(*rows, "cMsgTitle").text, "T");
  EXPECT_EQ(ValueOf(*rows, "cMsgContent").text, "C");
  EXPECT_EQ(ValueOf(*rows, "dSend").date_time, (base::DateTime{{2024, 3, 1}, 9, 30, 0}));
  EXPECT_EQ(ValueOf(*rows, "nValidDay").integer, 570);
  EXPECT_EQ(ValueOf(*rows, "DisplayPeriods").integer, 2);
  EXPECT_EQ(ValueOf(*rows, "bHasRead").integer, 0);
  EXPECT_TRUE(rows->Close().ok());
  EXPECT_EQ(AllTitles(), (std::vector<std::string>{"Gym", "Lunch", "Notice", "T"}));
}

TEST_F(DbMemoStatements, UpdateOrDeleteOfAMissingMemoSucceedsAndChangesNothing) {
  EXPECT_TRUE(connection_->Execute(UpdateMemo("none")).ok());
  EXPECT_TRUE(connection_->Execute(DeleteMemo("none")).ok());
  EXPECT_EQ(AllTitles(), (std::vector<std::string>{"Dentist", "Gym", "Lunch", "Notice"}));
}

TEST_F(DbMemoStatements, DeleteRemovesTheMemoItNamesOnly) {
  const Status deleted = connection_->Execute(DeleteMemo("B2"));
  ASSERT_TRUE(deleted.ok()) << deleted.description();
  EXPECT_EQ(AllTitles(), (std::vector<std::string>{"Dentist", "Lunch", "Notice"}));
}

TEST_F(DbMemoStatements, IdsCompareWithoutRegardToLetterCaseAsInTheHostsDatabase) {
  EXPECT_EQ(Titles(SelectMemo("b2")), (std::vector<std::string>{"Gym"}));
  EXPECT_EQ(Titles(SelectMemosOf("DEMO")), (std::vector<std::string>{"Dentist", "Gym"}));
}

TEST_F(DbMemoStatements, TextThatLooksLikeTheQualifierOrHoldsApostrophesIsStoredExactly) {
  for (const char* quoted : {"VXSystem..x", "It''s", "vxsystem..ZA_Message -- ''x''"}) {
    const Status inserted = connection_->Execute(InsertMemo(quoted));
    ASSERT_TRUE(inserted.ok()) << inserted.description();
  }
  EXPECT_EQ(Titles("select cMsgTitle from ZA_Message where cMsgContent='Room 3' order by cMsgTitle"),
            (std::vector<std::string>{"It's", "VXSystem..x", "vxsystem..ZA_Message -- 'x'"}));
}

TEST_F(DbMemoStatements, EveryInsertGetsItsOwnUpperCaseId) {
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(connection_->Execute(InsertMemo("Team meeting")).ok());
  const std::vector<std::string> ids =
      ReadColumn(connection_, "select cMsgId from ZA_Message where cMsgTitle='Team meeting'", "cMsgId");
  ASSERT_EQ(ids.size(), 20u);
  for (const std::string& id : ids) EXPECT_TRUE(std::regex_match(id, kNewId)) << id;
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 20u);
}

TEST_F(DbMemoStatements, TheSqliteShellReadsWhatTheBackendWrote) {
  if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no sqlite3 shell";
  ASSERT_TRUE(connection_->Execute(InsertMemo("It''s from the backend")).ok());
  ASSERT_TRUE(connection_->Close().ok());

  const std::string command = "sqlite3 -readonly '" + file().string() +
                              "' \"select cMsgTitle || '|' || dSend || '|' || nValidDay from "
                              "ZA_Message where cMsgContent='Room 3'\"";
  FILE* shell = popen(command.c_str(), "r");
  ASSERT_NE(shell, nullptr);
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, shell)) output += buffer;
  EXPECT_EQ(pclose(shell), 0);
  EXPECT_EQ(output, "It's from the backend|2024-03-01 09:30:00|570\n");
}

}  // namespace
}  // namespace agendia::db
