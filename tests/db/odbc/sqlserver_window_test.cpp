// The real window offscreen on the TDS protocol stand-in through FreeTDS, as
// a portal whose memos live on SQL Server opens it with its own connection
// string: the typical event with Chinese of both scripts, an emoji and a
// backslash that ends a line; Save of a memo deleted meanwhile; a deadlock;
// and a server that stops answering after the login, given up within the
// command time-out (shortened here) while the window stays usable.

#include "component/Calender.h"
#include "db/default_client.h"
#include "db/odbc/server_window_fixture.h"
#include "db/odbc/tds_stand_in.h"
#include "form/pub.h"
#include "platform/qt/qt_platform.h"
#include "resources/resource_library.h"
#include "support/faulty_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace agendia::testing {
namespace {

const std::string kTimeoutNumber = "(-2147217871)";

// The stand-in's rows without their generated identifiers.
class StandInStore final : public MemoStore {
 public:
  explicit StandInStore(const TdsStandIn& server) : server_(server) {}
  std::string ConnectionString() const override { return server_.ConnectionString(); }
  Texts Rows() override {
    Texts rows = server_.Rows();
    for (std::string& row : rows) row.erase(0, row.find('|') + 1);
    return rows;
  }
  void DeleteAll() override { server_.Control("delete-all"); }

 private:
  const TdsStandIn& server_;
};

// The window on the Qt platform, its database calls logged and steered by
// database_log_, as a portal whose memos live on SQL Server opens it.
class SqlServerWindowTest : public ServerWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ready());
    pub::g_bFormOpen = 0;
    give_up_ms_ = 90000;
  }

  ComPtr<_Calender> NewCalendar() override {
    auto parts = std::make_shared<platform::Platform>();
    parts->window_system = platform::MakeQtWindowSystem();
    parts->toolkit = platform::MakeQtToolkit();
    parts->system_language = platform::MakeQtSystemLanguage();
    parts->resources = resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR);
    parts->database = MakeFaultyClient(db::MakeDefaultClient(), database_log_);
    return ComPtr<_Calender>(Calender::Create(parts).get());
  }

  void RunTypicalEvent(const std::string& collation, const std::string& language);

  TdsStandIn server_;
  StandInStore store_{server_};
  std::shared_ptr<DatabaseLog> database_log_ = std::make_shared<DatabaseLog>();
};

// The typical event under `collation`, logged in with `language`, with
// Chinese of both scripts, an emoji and a backslash that ends a line.
void SqlServerWindowTest::RunTypicalEvent(const std::string& collation,
                                          const std::string& language) {
  server_.Reset(collation);
  // The window hands the content on with Windows' line breaks.
  ServerWindowTest::RunTypicalEvent(
      store_, server_.ConnectionString(";Current Language=" + language),
      QString::fromUtf8("团队 團隊 😀 한국"), QString::fromUtf8("C:\\tmp\\\nnext"),
      QString::fromUtf8("週會 周会 😀"), TdsStandIn::Escaped("C:\\tmp\\\r\nnext"));
  const Texts logins = server_.Logins();
  ASSERT_FALSE(logins.empty());
  EXPECT_TRUE(logins.back().starts_with("agendia|VXSystem|" + language + "|Agendia|"))
      << logins.back();
}

TEST_F(SqlServerWindowTest, TheTypicalEventKeepsEveryCharacterUnderALatin1CollationInBritish) {
  RunTypicalEvent("SQL_Latin1_General_CP1_CI_AS", "British");
}

TEST_F(SqlServerWindowTest, TheTypicalEventKeepsEveryCharacterUnderAChineseCollation) {
  RunTypicalEvent("Chinese_PRC_CI_AS", "us_english");
}

TEST_F(SqlServerWindowTest, SaveOfAMemoDeletedMeanwhileKeepsTheEditorAndSaysSo) {
  RunSaveOfAMemoDeletedMeanwhile(store_);
}

TEST_F(SqlServerWindowTest, AnInsertWhoseAnswerWasLostIsListedAtOnceAndSaidToBeMaybeSaved) {
  // The stand-in stores the memo and closes the connection unanswered.
  Texts listed_after_loss, rows_after_loss;
  QString kept;
  UseWindow(server_.ConnectionString(), [&](Controls& c) {
    server_.Fault("lose-insert-answer");
    AddMemo(c, "Once", "x");
    listed_after_loss = MemoTitles(*c.tree);
    rows_after_loss = store_.Rows();
    kept = c.title->text();
  });
  EXPECT_EQ(rows_after_loss,
            Texts{"Once|x|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|100"});
  // Listed before the user could press Save a second time.
  EXPECT_EQ(listed_after_loss, Texts{"Once"});
  EXPECT_EQ(S(kept), "Once");
  ASSERT_EQ(messages_.size(), 1u) << ::testing::PrintToString(messages_);
  EXPECT_NE(messages_[0].find("may have been saved"), std::string::npos) << messages_[0];
  EXPECT_TRUE(messages_[0].ends_with("(-2147467259)")) << messages_[0];
}

TEST_F(SqlServerWindowTest, ADeadlockShowsTheLockNumberAndTheServersOwnNumber) {
  Texts rows_after;
  UseWindow(server_.ConnectionString(), [&](Controls& c) {
    server_.Fault("deadlock");
    AddMemo(c, "Victim", "x");
    rows_after = server_.Rows();
  });
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].ends_with("(native error 1205)" + kTimeoutNumber)) << messages_[0];
  EXPECT_EQ(rows_after, Texts{});
}

TEST_F(SqlServerWindowTest, AServerSilentAfterTheLoginIsReportedWithinTheBoundAndTheWindowStaysUsable) {
  // The window asks for 300 seconds; the connection here gets 4, so the
  // test shows the same behaviour in seconds.
  constexpr long kCommandTimeout = 4;
  database_log_->command_timeout_cap = kCommandTimeout;
  server_.Fault("silent");
  bool editor_opened = false;
  const auto started = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration until_shown{};
  UseWindow(server_.ConnectionString(), [&](Controls& c) {
    until_shown = std::chrono::steady_clock::now() - started;
    Click(c.add);
    editor_opened = c.save->isEnabled() && c.title->isEnabled();
  });
  EXPECT_EQ(database_log_->CountOf("Connection.SetCommandTimeout(300)"), 1);
  ASSERT_EQ(messages_.size(), 1u);  // the tree load as the window opened
  EXPECT_TRUE(messages_[0].ends_with(kTimeoutNumber)) << messages_[0];
  EXPECT_EQ(messages_[0].find(TdsStandIn::kPassword), std::string::npos);
  EXPECT_TRUE(editor_opened);
  // Within the command time-out plus the login bound (15 s).
  EXPECT_LT(until_shown, std::chrono::seconds(kCommandTimeout + 15));
}

}  // namespace
}  // namespace agendia::testing
