// The memo statements through the SQLite ODBC driver, which has no
// wide-character entry points on Linux, read back past the component with
// the sqlite3 library: text byte for byte whatever the host's locale (ctest
// runs this file with no locale at all and again under C.UTF-8), no other
// row touched, the rows each statement changed, and long text read in time
// that grows with its length only.

#include "db/database.h"
#include "db/default_client.h"
#include "db/odbc/odbc_text_path.h"
#include "db/odbc/statement_checks.h"
#include "memo/statements.h"
#include "support/memo_database.h"
#include "support/window_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <fstream>
#include <string>
#include <vector>

namespace agendia::db {
namespace {

using testing::MemoDatabase;
using testing::MemoRow;
using testing::WeeklyMemo;

class SqliteDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    // As a host process does: whatever LANG and LC_ALL say, or none.
    std::setlocale(LC_ALL, "");
    MemoRow other;
    other.id = "OTHER";
    other.title = "Someone else's memo";
    other.content = "untouched";
    other.receiver = other.sender = "bob";
    database_.Insert(other);
    before_other_ = database_.Query("select * from ZA_Message where cMsgId='OTHER'");
  }

  std::string OdbcString() const {
    return "Driver=SQLite3;Database=" + database_.path() + ";NoCreat=1";
  }

  std::shared_ptr<Connection> Open() { return testing::OpenAsTheWindow(*client_, OdbcString()); }

  void ExpectOtherRowUntouched(const char* rows_in_table = "2") {
    EXPECT_EQ(database_.Query("select * from ZA_Message where cMsgId='OTHER'"), before_other_);
    EXPECT_EQ(database_.Query("select count(*) as n from ZA_Message")[0].at("n"), rows_in_table);
  }

  MemoDatabase database_;
  std::vector<testing::StoredRow> before_other_;
  std::shared_ptr<Client> client_ = MakeDefaultClient();
};

TEST_F(SqliteDriver, TextOfEveryScriptIsStoredByteForByteAndNoOtherRowChanges) {
  const std::vector<std::string> texts = {
      "张三的备忘",                            // simplified Chinese
      "張三的備忘：體驗會議",                  // traditional Chinese
      "丧丧丧丧丧丧丧丧丧丧丧丧丧丧丧",        // U+4E27: its low byte is an apostrophe
      "Ā ĀĀ Ȁ",                                // U+0100, U+0200: low byte NUL
      "Team 😀 meeting 🎉",                     // beyond the basic plane
      "it's O'Brien's",                        // apostrophes doubled by the statement
  };
  auto connection = Open();
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    database_.Run("delete from ZA_Message where cMsgId<>'OTHER'");
    long rows = -1;
    const Status inserted = connection->Execute(*memo::InsertMemo(WeeklyMemo(text, text + "!")), &rows);
    ASSERT_TRUE(inserted.ok()) << inserted.description();
    EXPECT_EQ(rows, 1);
    auto stored = database_.Query("select * from ZA_Message where cMsgId<>'OTHER'");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].at("cMsgTitle"), text);
    EXPECT_EQ(stored[0].at("cMsgContent"), text + "!");
    ExpectOtherRowUntouched();

    // Modify the memo to the same text reversed in order of words.
    const std::string id = *stored[0].at("cMsgId");
    const std::string changed = "改 " + text;
    const Status updated = connection->Execute(
        memo::UpdateMemo({"2024-03-01 10:00:00", changed, text, 600, 1}, id, "demo"), &rows);
    ASSERT_TRUE(updated.ok()) << updated.description();
    EXPECT_EQ(rows, 1);
    stored = database_.Query("select * from ZA_Message where cMsgId<>'OTHER'");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].at("cMsgTitle"), changed);
    EXPECT_EQ(stored[0].at("cMsgContent"), text);
    ExpectOtherRowUntouched();

    // And it reads back as stored.
    auto recordset = client_->CreateRecordset();
    ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
    ASSERT_TRUE((*recordset)->Open(memo::SelectById(id, "demo")).ok());
    auto title = (*recordset)->Value("cMsgTitle");
    ASSERT_TRUE(title.ok());
    EXPECT_EQ(title->text, changed);
  }
}

TEST_F(SqliteDriver, EachStatementReportsTheRowsItChanged) {
  testing::ExpectEachStatementReportsTheRowsItChanged(*Open(), [&] {
    return database_.Query("select cMsgId from ZA_Message where cMsgId<>'OTHER'").at(0).at("cMsgId")
        .value_or("");
  });
  ExpectOtherRowUntouched("1");
}

// The cursor fetches a column only when it is read: columns read out of
// their order, passed over, read twice, or read on some rows only, each give
// the value of their own row.
TEST_F(SqliteDriver, ColumnsReadInAnyOrderOrOnSomeRowsOnlyHoldTheirRowsValues) {
  for (int i = 0; i < 5; ++i) {
    MemoRow row;
    row.id = "ID" + std::to_string(i);
    row.title = "title " + std::to_string(i);
    row.content = std::string(size_t(3000 + i), char('a' + i));  // past the first read's room
    row.send = "2024-03-0" + std::to_string(i + 1) + " 09:30:00";
    row.kind = i == 2 ? std::nullopt : std::optional<int64_t>(i);
    database_.Insert(row);
  }
  auto connection = Open();
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  ASSERT_TRUE((*recordset)
                  ->Open("select * from ZA_Message where cReceiver='demo' order by cMsgId")
                  .ok());
  int rows = 0;
  for (;; ++rows) {
    auto end = (*recordset)->EndOfFile();
    ASSERT_TRUE(end.ok());
    if (*end) break;
    const std::string n = std::to_string(rows);
    // The window's order: two late columns, then two early ones.
    auto send = (*recordset)->Value("dSend");
    auto kind = (*recordset)->Value("DisplayPeriods");
    ASSERT_TRUE(send.ok() && kind.ok());
    EXPECT_EQ(send->text, "2024-03-0" + std::to_string(rows + 1) + " 09:30:00");
    if (rows == 2) {
      EXPECT_EQ(kind->type, FieldValue::Type::kNull);
    } else {
      EXPECT_EQ(kind->integer, rows);
    }
    if (rows % 2 == 0) {  // an odd row, as one the window skips, reads nothing more
      auto id = (*recordset)->Value("cMsgId");
      auto title = (*recordset)->Value("cMsgTitle");
      auto content = (*recordset)->Value("cMsgContent");
      auto again = (*recordset)->Value("cMsgTitle");
      ASSERT_TRUE(id.ok() && title.ok() && content.ok() && again.ok());
      EXPECT_EQ(id->text, "ID" + n);
      EXPECT_EQ(title->text, "title " + n);
      EXPECT_EQ(again->text, "title " + n);
      EXPECT_EQ(content->text, std::string(size_t(3000 + rows), char('a' + rows)));
    }
    ASSERT_TRUE((*recordset)->MoveNext().ok());
  }
  EXPECT_EQ(rows, 5);
}

TEST_F(SqliteDriver, TenMegabytesOfTitleAreReadInSeconds) {
  // Ten million characters, three bytes each in UTF-8 for a third of them.
  std::string title;
  title.reserve(14'000'000);
  for (int i = 0; i < 1'000'000; ++i) title += "备忘abcdefg";
  database_.Run("insert into ZA_Message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
                "cReceiver, dSend, nValidDay, bHasRead, DisplayPeriods, Account, Year) values "
                "('LONG', 100, 'x', 'y', 'demo', 'demo', '2024-03-01 09:30:00', 570, 0, 0, "
                "'001', 2024)");
  database_.Run("update ZA_Message set cMsgTitle = '" + title + "' where cMsgId='LONG'");

  auto connection = Open();
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE((*recordset)->Open(memo::SelectById("LONG", "demo")).ok());
  auto read = (*recordset)->Value("cMsgTitle");
  const auto took = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->text.size(), title.size());
  EXPECT_TRUE(read->text == title);
  // Read 1,024 characters a call, this took minutes; at once, well under a
  // second. The bound leaves room for a loaded machine.
  EXPECT_LT(took, std::chrono::seconds(30));
}

#if !defined(_WIN32)
// Whether the ODBC driver manager's library is mapped into this process.
bool DriverManagerMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("/libodbc.so") != std::string::npos) return true;
  }
  return false;
}

// ctest runs each test of this file in a process of its own, so the first
// check sees what a fresh process maps.
class OdbcDriverManager : public SqliteDriver {};

TEST_F(OdbcDriverManager, IsLoadedOnlyWhenAConnectionStringNeedsIt) {
  ASSERT_FALSE(DriverManagerMapped()) << "mapped at start (run this test in a process of its own)";
  {
    auto connection = client_->CreateConnection();
    ASSERT_TRUE(connection.ok());
    const Status opened = (*connection)->Open("Provider=SQLite;Data Source=" + database_.path());
    ASSERT_TRUE(opened.ok()) << opened.description();
    auto recordset = client_->CreateRecordset();
    ASSERT_TRUE((*recordset)->SetActiveConnection(*connection).ok());
    ASSERT_TRUE((*recordset)->Open("select * from ZA_Message").ok());
  }
  EXPECT_FALSE(DriverManagerMapped());
  auto connection = Open();
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  ASSERT_TRUE((*recordset)->Open("select * from ZA_Message where cMsgId='OTHER'").ok());
  auto title = (*recordset)->Value("cMsgTitle");
  ASSERT_TRUE(title.ok());
  EXPECT_EQ(title->text, "Someone else's memo");
  EXPECT_TRUE(DriverManagerMapped());
}
#endif

TEST(OdbcMessages, AShortPasswordIsNeverCutOutOfTheDriverManagersWords) {
  auto connection = MakeDefaultClient()->CreateConnection();
  ASSERT_TRUE(connection.ok());
  const Status refused = (*connection)->Open("Driver={No Such Driver};Server=x;UID=u;PWD=a");
  EXPECT_EQ(refused.code(), err::kUnspecified);
  EXPECT_EQ(refused.description(),
            "[unixODBC][Driver Manager]Can't open lib 'No Such Driver' : file not found");
}

// Save in the window (memory platform) through the driver, of a memo that
// was deleted after it was shown: the editor keeps what was typed and the
// user is told, instead of the change being lost without a word.
class SqliteDriverWindow : public testing::WindowFixture {};

TEST_F(SqliteDriverWindow, SaveOfAMemoDeletedMeanwhileKeepsTheTypedTextAndSaysSo) {
  std::setlocale(LC_ALL, "");
  database.Insert(testing::Memo("m1", 2));
  testing::UserContext context;
  context.language = "en-us";
  context.conn = "Driver=SQLite3;Database=" + database.path() + ";NoCreat=1";
  ExpectSaveOfAMemoDeletedMeanwhileKeepsTheTypedText(context, "m1", "Moved 张三 😀", [&] {
    database.Run("delete from ZA_Message where cMsgId='m1'");
    return true;
  });
  EXPECT_TRUE(database.Memos().empty());
}

TEST_F(SqliteDriverWindow, AMemoWithATenMegabyteTitleOpensTheWindowAndShowsInSeconds) {
  std::string title;
  title.reserve(11'000'000);
  for (int i = 0; i < 1'000'000; ++i) title += "Title 张三";
  testing::MemoRow row = testing::Memo("m1", 2);
  row.title = title;
  database.Insert(row);
  testing::UserContext context;
  context.language = "en-us";
  context.conn = "Driver=SQLite3;Database=" + database.path() + ";NoCreat=1";
  std::string shown;
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(Open(context, [&](platform::memory::MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                shown = w.Edit("txtTitle")->Text();
              }).ok());
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(shown.size(), title.size());
  EXPECT_TRUE(shown == title);
  // Two reads of the title (the tree and the detail view); 1,024 characters
  // a call, each took minutes.
  EXPECT_LT(took, std::chrono::seconds(60));
}

TEST(OdbcTextPathCheck, RefusesTextThatWouldNotReachTheDriverUnchanged) {
  struct Case {
    OdbcTextPath path;
    std::string statement;
    bool sent;
  };
  const Case cases[] = {
      {OdbcTextPath::kWide, "select '张三 😀'", true},
      {OdbcTextPath::kNarrowUtf8, "select '张三 😀'", true},
      {OdbcTextPath::kAsciiOnly, "select 'plain'", true},
      {OdbcTextPath::kAsciiOnly, "select '张三'", false},
      {OdbcTextPath::kWide, "select '\xE4\xB8'", false},           // a cut character
      {OdbcTextPath::kNarrowUtf8, "select '\xC0\xA7'", false},     // an overlong apostrophe
      {OdbcTextPath::kWide, "select '\xED\xA0\x80'", false},       // a surrogate
      {OdbcTextPath::kNarrowUtf8, std::string("select 'a\0b'", 12), false},
      {OdbcTextPath::kWide, "select '\xEF\xBF\xBD'", true},        // U+FFFD as written
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    const Status checked = CheckStatementText(c.path, c.statement);
    EXPECT_EQ(checked.ok(), c.sent) << checked.description();
    if (!c.sent) {
      EXPECT_EQ(checked.code(), err::kErrorsInCommand);
      EXPECT_TRUE(checked.description().starts_with("The statement was not sent: "))
          << checked.description();
    }
  }
}

}  // namespace
}  // namespace agendia::db
