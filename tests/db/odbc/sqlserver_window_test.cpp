// The real window offscreen on the TDS protocol stand-in through FreeTDS, as
// a portal whose memos live on SQL Server opens it with its own connection
// string: the typical event with Chinese of both scripts, an emoji and a
// backslash that ends a line; Save of a memo deleted meanwhile; a deadlock;
// and a server that stops answering after the login, given up within the
// command time-out (shortened here) while the window stays usable.

#include "component/Calender.h"
#include "db/default_client.h"
#include "db/odbc/tds_stand_in.h"
#include "form/pub.h"
#include "integration/calendar_controls.h"
#include "integration/modal_watcher.h"
#include "platform/qt/qt_platform.h"
#include "resources/resource_library.h"
#include "support/faulty_database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

using agendia::testing::Click;
using agendia::testing::ClickNode;
using agendia::testing::Controls;
using agendia::testing::MemoTitles;
using agendia::testing::ModalWatcher;
using agendia::testing::S;
using agendia::testing::TdsStandIn;
using agendia::testing::Texts;

const std::string kTimeoutNumber = "(-2147217871)";

// Add, 09:30, Weekly, the title and content (as pasted), Save.
void AddMemo(Controls& c, const QString& title, const QString& content) {
  Click(c.add);
  QTest::mouseClick(c.hour, Qt::LeftButton);
  QTest::keyClicks(c.hour, "9");
  QTest::mouseClick(c.minute, Qt::LeftButton);
  QTest::keyClicks(c.minute, "30");
  c.kind->setCurrentIndex(2);
  c.title->setText(title);
  c.content->insertPlainText(content);
  Click(c.save);
}

class SqlServerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }
  void SetUp() override {
    ASSERT_TRUE(server_.ready());
    agendia::pub::g_bFormOpen = 0;
  }

  // Opens the window of "demo" on 2024-03-01 with `connection` on the Qt
  // platform and runs `use` inside its modal loop; message boxes are
  // answered with OK and kept in messages_.
  void UseWindow(std::string connection, const std::function<void(Controls&)>& use) {
    auto platform = std::make_shared<agendia::platform::Platform>();
    platform->window_system = agendia::platform::MakeQtWindowSystem();
    platform->toolkit = agendia::platform::MakeQtToolkit();
    platform->system_language = agendia::platform::MakeQtSystemLanguage();
    platform->resources = agendia::resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR);
    platform->database =
        agendia::testing::MakeFaultyClient(agendia::db::MakeDefaultClient(), database_log_);
    auto calendar = agendia::Calender::Create(platform);
    bool shown = false;
    std::optional<ModalWatcher> watcher;
    watcher.emplace([&](QWidget& window) {
      shown = true;
      Controls controls(window);
      if (controls.complete()) {
        use(controls);
      } else {
        ADD_FAILURE() << "the calendar window lacks a control";
      }
      if (window.isVisible()) window.close();
    }, 90000);
    std::string user = "demo", account = "001", year = "2024", day = "2024-03-01",
                language = "en-us";
    const agendia::Status status =
        calendar->CalenderDesign(&connection, &user, &account, &year, &day, &language);
    for (const auto& message : watcher->messages) messages_.push_back(S(message.text));
    watcher.reset();
    ASSERT_TRUE(status.ok()) << status.description();
    EXPECT_TRUE(shown) << "the calendar window never opened";
  }

  void RunTypicalEvent(const std::string& collation, const std::string& language);

  // The stored rows without their generated identifiers.
  Texts StoredRows() const {
    Texts rows = server_.Rows();
    for (std::string& row : rows) row.erase(0, row.find('|') + 1);
    return rows;
  }

  TdsStandIn server_;
  std::shared_ptr<agendia::testing::DatabaseLog> database_log_ =
      std::make_shared<agendia::testing::DatabaseLog>();
  Texts messages_;
};

// The typical event (Add, Save, click, Modify, Save, Delete) under
// `collation`, logged in with `language`.
void SqlServerWindowTest::RunTypicalEvent(const std::string& collation,
                                          const std::string& language) {
  server_.Reset(collation);
  const QString title = QString::fromUtf8("团队 團隊 😀 한국");
  const QString content = QString::fromUtf8("C:\\tmp\\\nnext");
  const QString changed = QString::fromUtf8("週會 周会 😀");
  Texts added, shown, modified, deleted, titles_after_save;
  UseWindow(server_.ConnectionString(";Current Language=" + language), [&](Controls& c) {
    AddMemo(c, title, content);
    added = StoredRows();
    titles_after_save = MemoTitles(*c.tree);

    ClickNode(*c.tree, title);
    shown = {S(c.hour->text()), S(c.minute->text()), S(c.kind->currentText()),
             S(c.title->text()), S(c.content->toPlainText())};
    Click(c.modify);
    c.title->setText(changed);
    Click(c.save);
    modified = StoredRows();

    ClickNode(*c.tree, changed);
    Click(c.remove);
    deleted = StoredRows();
    EXPECT_EQ(MemoTitles(*c.tree), Texts{});
  });
  EXPECT_EQ(messages_, Texts{});
  // The window hands the content on with Windows' line breaks.
  const std::string stored_content = "C:\\tmp\\\r\nnext";
  const std::string rest = "|" + TdsStandIn::Escaped(stored_content) +
                           "|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|100";
  EXPECT_EQ(added, Texts{S(title) + rest});
  EXPECT_EQ(titles_after_save, Texts{S(title)});
  EXPECT_EQ(shown, (Texts{"9", "30", "Weekly", S(title), S(content)}));
  EXPECT_EQ(modified, Texts{S(changed) + rest});
  EXPECT_EQ(deleted, Texts{});
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
  bool editor_open = false;
  QString typed;
  Texts rows_after;
  UseWindow(server_.ConnectionString(), [&](Controls& c) {
    AddMemo(c, "Team", "Room 3");
    ClickNode(*c.tree, "Team");
    Click(c.modify);
    c.title->setText("Team sync");
    server_.Control("delete-all");  // another window deletes it
    Click(c.save);
    editor_open = c.title->isEnabled();
    typed = c.title->text();
    rows_after = server_.Rows();
  });
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].ends_with("(3021)")) << messages_[0];
  EXPECT_TRUE(editor_open);
  EXPECT_EQ(S(typed), "Team sync");
  EXPECT_EQ(rows_after, Texts{});
}

TEST_F(SqlServerWindowTest, AnInsertWhoseAnswerWasLostIsListedAtOnceAndSaidToBeMaybeSaved) {
  // The stand-in stores the memo and closes the connection unanswered.
  Texts listed_after_loss, rows_after_loss;
  QString kept;
  UseWindow(server_.ConnectionString(), [&](Controls& c) {
    server_.Fault("lose-insert-answer");
    AddMemo(c, "Once", "x");
    listed_after_loss = MemoTitles(*c.tree);
    rows_after_loss = StoredRows();
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
