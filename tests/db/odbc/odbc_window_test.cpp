// The typical event (Add, Save, click, Modify, Save, Delete) in the real
// window offscreen, once per database behind ODBC: PostgreSQL through
// psqlODBC, its rows read back with psql, and SQLite through its ODBC
// driver, read back through the sqlite3 library. Then what a server that is
// gone or silent does to the window: a message, and the window stays usable.

#include <agendia/create_calender.h>

#include "integration/calendar_controls.h"
#include "integration/modal_watcher.h"
#include "db/odbc/postgres_cluster.h"
#include "db/odbc/silent_server.h"
#include "support/memo_database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using agendia::testing::MemoDatabase;
using agendia::testing::ModalWatcher;
using agendia::testing::PostgresCluster;
using agendia::testing::Click;
using agendia::testing::ClickNode;
using agendia::testing::Controls;
using agendia::testing::MemoTitles;
using agendia::testing::S;
using agendia::testing::Texts;

// Add, 09:30, Weekly, the title and content, Save.
void AddMemo(Controls& c, const QString& new_title, const QString& new_content) {
  Click(c.add);
  QTest::mouseClick(c.hour, Qt::LeftButton);
  QTest::keyClicks(c.hour, "9");
  QTest::mouseClick(c.minute, Qt::LeftButton);
  QTest::keyClicks(c.minute, "30");
  c.kind->setCurrentIndex(2);
  c.title->setText(new_title);            // as pasted: key events carry Latin-1 only
  c.content->insertPlainText(new_content);  // as pasted
  Click(c.save);
}

// A memo database behind ODBC, and its rows read past the component, each
// as "title|content|sender|receiver|dSend|nValidDay|bHasRead|kind|account|year|type".
class Store {
 public:
  virtual ~Store() = default;
  virtual std::string ConnectionString() const = 0;
  virtual Texts Rows() = 0;
  // Deletes every memo past the component, as another window would.
  virtual void DeleteAll() = 0;
};

constexpr const char* kColumns =
    "cMsgTitle, cMsgContent, cSender, cReceiver, dSend, nValidDay, bHasRead, DisplayPeriods, "
    "Account, Year, nMsgType";

class PostgresStore final : public Store {
 public:
  PostgresStore() { cluster_.DeleteAllMemos(); }
  std::string ConnectionString() const override { return cluster_.ConnectionString(); }
  Texts Rows() override {
    auto rows = cluster_.Psql(std::string("select ") + kColumns + " from za_message");
    EXPECT_TRUE(rows.has_value()) << "psql failed";
    return rows.value_or(Texts{"<psql failed>"});
  }
  void DeleteAll() override { cluster_.DeleteAllMemos(); }
  PostgresCluster& cluster() { return cluster_; }

 private:
  PostgresCluster cluster_;
};

class SqliteOdbcStore final : public Store {
 public:
  std::string ConnectionString() const override {
    return "Driver=SQLite3;Database=" + database_.path() + ";NoCreat=1";
  }
  Texts Rows() override {
    Texts rows;
    for (const auto& row : database_.Query(std::string("select ") + kColumns + " from ZA_Message")) {
      std::string line;
      for (const char* name : {"cMsgTitle", "cMsgContent", "cSender", "cReceiver", "dSend",
                               "nValidDay", "bHasRead", "DisplayPeriods", "Account", "Year",
                               "nMsgType"}) {
        if (!line.empty()) line += "|";
        line += row.at(name).value_or("<NULL>");
      }
      rows.push_back(line);
    }
    return rows;
  }
  void DeleteAll() override { database_.Run("delete from ZA_Message"); }

 private:
  MemoDatabase database_;
};

class OdbcWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }

  // Opens the window of "demo" on 2024-03-01 with `connection` and runs `use`
  // inside its modal loop; message boxes are answered with OK and kept.
  void UseWindow(std::string connection, const std::function<void(Controls&)>& use) {
    auto created = agendia::CreateCalender();
    ASSERT_TRUE(created.ok()) << created.status().description();
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
    }, 60000);
    std::string user = "demo", account = "001", year = "2024", day = "2024-03-01",
                language = "en-us";
    const agendia::Status status =
        (*created)->CalenderDesign(&connection, &user, &account, &year, &day, &language);
    for (const auto& message : watcher->messages) messages_.push_back(S(message.text));
    watcher.reset();
    ASSERT_TRUE(status.ok()) << status.description();
    EXPECT_TRUE(shown) << "the calendar window never opened";
  }

  // The typical event on `store`, checking the window and the stored rows.
  void RunTypicalEvent(Store& store, const QString& title) {
    Texts added, modified, deleted, titles_after_save, fields_shown;
    UseWindow(store.ConnectionString(), [&](Controls& c) {
      AddMemo(c, title, "Room 3, bring the slides");
      added = store.Rows();
      titles_after_save = MemoTitles(*c.tree);

      ClickNode(*c.tree, title);
      fields_shown = {S(c.hour->text()), S(c.minute->text()), S(c.kind->currentText()),
                      S(c.title->text()), S(c.content->toPlainText())};
      Click(c.modify);
      c.title->setText("Team sync");
      Click(c.save);
      modified = store.Rows();

      ClickNode(*c.tree, "Team sync");
      Click(c.remove);
      deleted = store.Rows();
      EXPECT_EQ(MemoTitles(*c.tree), Texts{});
    });
    EXPECT_EQ(messages_, Texts{});
    const std::string rest = "|Room 3, bring the slides|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|100";
    EXPECT_EQ(added, Texts{S(title) + rest});
    EXPECT_EQ(titles_after_save, Texts{S(title)});
    EXPECT_EQ(fields_shown, (Texts{"9", "30", "Weekly", S(title), "Room 3, bring the slides"}));
    EXPECT_EQ(modified, Texts{"Team sync" + rest});
    EXPECT_EQ(deleted, Texts{});
  }

  // Add, click, Modify, the memo deleted past the window, Save: the editor
  // keeps what was typed, one message says why, and nothing is stored.
  void RunSaveOfAMemoDeletedMeanwhile(Store& store) {
    bool editor_open = false;
    std::string typed;
    Texts rows_after;
    UseWindow(store.ConnectionString(), [&](Controls& c) {
      AddMemo(c, "Team", "Room 3");
      ClickNode(*c.tree, "Team");
      Click(c.modify);
      c.title->setText("Team sync");
      store.DeleteAll();
      Click(c.save);
      editor_open = c.title->isEnabled() && c.content->isEnabled();
      typed = S(c.title->text());
      rows_after = store.Rows();
    });
    ASSERT_EQ(messages_.size(), 1u) << ::testing::PrintToString(messages_);
    EXPECT_TRUE(messages_[0].ends_with("(3021)")) << messages_[0];
    EXPECT_TRUE(editor_open);
    EXPECT_EQ(typed, "Team sync");
    EXPECT_EQ(rows_after, Texts{});
  }

  Texts messages_;
};

TEST_F(OdbcWindowTest, SaveOfAMemoDeletedMeanwhileKeepsTheEditorAndSaysSoOnPostgreSql) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  RunSaveOfAMemoDeletedMeanwhile(store);
}

TEST_F(OdbcWindowTest, SaveOfAMemoDeletedMeanwhileKeepsTheEditorAndSaysSoOnSqliteThroughOdbc) {
  SqliteOdbcStore store;
  RunSaveOfAMemoDeletedMeanwhile(store);
}

TEST_F(OdbcWindowTest, TheTypicalEventOnPostgreSqlThroughPsqlOdbc) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  RunTypicalEvent(store, QString::fromUtf8("週會 Bob's"));
}

TEST_F(OdbcWindowTest, TheTypicalEventOnSqliteThroughItsOdbcDriver) {
  SqliteOdbcStore store;
  RunTypicalEvent(store, QString::fromUtf8("週會 Bob's"));
}

TEST_F(OdbcWindowTest, AServerStoppedWhileTheWindowIsOpenFailsOneActionAndTheNextWorks) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  Texts while_stopped, after_restart;
  bool paused = false, resumed = false;
  UseWindow(store.ConnectionString(), [&](Controls& c) {
    paused = store.cluster().Pause();
    AddMemo(c, "Lost", "x");
    while_stopped = MemoTitles(*c.tree);
    resumed = store.cluster().Resume();
    AddMemo(c, "Kept", "x");
    after_restart = MemoTitles(*c.tree);
  });
  ASSERT_TRUE(paused && resumed);
  // The save's own message only: a failed save keeps the editor open and
  // reads nothing more from a server it cannot reach.
  ASSERT_EQ(messages_.size(), 1u);
  for (const std::string& text : messages_) {
    EXPECT_TRUE(text.ends_with("(-2147467259)")) << text;
    EXPECT_EQ(text.find(store.cluster().password()), std::string::npos) << text;
  }
  EXPECT_EQ(while_stopped, Texts{});
  EXPECT_EQ(after_restart, Texts{"Kept"});
  EXPECT_EQ(store.Rows().size(), 1u);
}

TEST_F(OdbcWindowTest, ASilentSqlServerShowsATimeoutAndTheWindowStaysUsable) {
  agendia::testing::SilentServer server;
  ASSERT_NE(server.port(), 0);
  bool editor_opened = false;
  UseWindow("Provider=SQLOLEDB.1;Password=S3cret!;User ID=sa;Initial Catalog=VXSystem;"
            "Data Source=127.0.0.1," + std::to_string(server.port()) + ";Connect Timeout=2",
            [&](Controls& c) {
              Click(c.add);
              editor_opened = c.save->isEnabled() && c.title->isEnabled();
            });
  ASSERT_EQ(messages_.size(), 1u);  // the tree load as the window opened
  EXPECT_TRUE(messages_[0].ends_with("(-2147217871)")) << messages_[0];
  EXPECT_EQ(messages_[0].find("S3cret"), std::string::npos);
  EXPECT_TRUE(editor_opened);
}

}  // namespace
