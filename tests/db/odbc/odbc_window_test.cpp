// The typical event (Add, Save, click, Modify, Save, Delete) in the real
// window offscreen, once per database behind ODBC: PostgreSQL through
// psqlODBC, its rows read back with psql, and SQLite through its ODBC
// driver, read back through the sqlite3 library. Then what a server that is
// gone or silent does to the window: a message, and the window stays usable.

#include <agendia/create_calender.h>

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
using Texts = std::vector<std::string>;

std::string S(const QString& text) { return text.toStdString(); }

struct Controls {
  explicit Controls(QWidget& w)
      : tree(w.findChild<QTreeView*>("tvInfo")),
        hour(w.findChild<QLineEdit*>("txtHour")),
        minute(w.findChild<QLineEdit*>("txtMinute")),
        title(w.findChild<QLineEdit*>("txtTitle")),
        content(w.findChild<QPlainTextEdit*>("txtContent")),
        kind(w.findChild<QComboBox*>("cboIntrval")),
        add(w.findChild<QAbstractButton*>("btnAdd")),
        remove(w.findChild<QAbstractButton*>("btnDelete")),
        modify(w.findChild<QAbstractButton*>("btnModify")),
        save(w.findChild<QAbstractButton*>("btnSave")) {}

  bool complete() const {
    return tree && hour && minute && title && content && kind && add && remove && modify && save;
  }

  // The memo titles in the tree, group by group.
  Texts Titles() const {
    Texts titles;
    const QAbstractItemModel* model = tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
      const QModelIndex group = model->index(g, 0);
      for (int m = 0; m < model->rowCount(group); ++m) {
        titles.push_back(S(model->index(m, 0, group).data().toString()));
      }
    }
    return titles;
  }

  void ClickNode(const QString& text) {
    const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, text, 1,
                                            Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << "the tree shows no " << S(text);
    tree->scrollTo(found.first());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(found.first()).center());
  }

  // Add, 09:30, Weekly, the title and content, Save.
  void AddMemo(const QString& new_title, const QString& new_content) {
    Click(add);
    QTest::mouseClick(hour, Qt::LeftButton);
    QTest::keyClicks(hour, "9");
    QTest::mouseClick(minute, Qt::LeftButton);
    QTest::keyClicks(minute, "30");
    kind->setCurrentIndex(2);
    title->setText(new_title);  // as pasted: key events carry Latin-1 only
    content->insertPlainText(new_content);  // as pasted
    Click(save);
  }

  static void Click(QAbstractButton* button) {
    EXPECT_TRUE(button->isEnabled()) << S(button->objectName()) << " is disabled";
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QTreeView* tree;
  QLineEdit* hour;
  QLineEdit* minute;
  QLineEdit* title;
  QPlainTextEdit* content;
  QComboBox* kind;
  QAbstractButton* add;
  QAbstractButton* remove;
  QAbstractButton* modify;
  QAbstractButton* save;
};

// A memo database behind ODBC, and its rows read past the component, each
// as "title|content|sender|receiver|dSend|nValidDay|bHasRead|kind|account|year|type".
class Store {
 public:
  virtual ~Store() = default;
  virtual std::string ConnectionString() const = 0;
  virtual Texts Rows() = 0;
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
      c.AddMemo(title, "Room 3, bring the slides");
      added = store.Rows();
      titles_after_save = c.Titles();

      c.ClickNode(title);
      fields_shown = {S(c.hour->text()), S(c.minute->text()), S(c.kind->currentText()),
                      S(c.title->text()), S(c.content->toPlainText())};
      Controls::Click(c.modify);
      c.title->setText("Team sync");
      Controls::Click(c.save);
      modified = store.Rows();

      c.ClickNode("Team sync");
      Controls::Click(c.remove);
      deleted = store.Rows();
      EXPECT_EQ(c.Titles(), Texts{});
    });
    EXPECT_EQ(messages_, Texts{});
    const std::string rest = "|Room 3, bring the slides|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|100";
    EXPECT_EQ(added, Texts{S(title) + rest});
    EXPECT_EQ(titles_after_save, Texts{S(title)});
    EXPECT_EQ(fields_shown, (Texts{"9", "30", "Weekly", S(title), "Room 3, bring the slides"}));
    EXPECT_EQ(modified, Texts{"Team sync" + rest});
    EXPECT_EQ(deleted, Texts{});
  }

  Texts messages_;
};

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
    c.AddMemo("Lost", "x");
    while_stopped = c.Titles();
    resumed = store.cluster().Resume();
    c.AddMemo("Kept", "x");
    after_restart = c.Titles();
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
              Controls::Click(c.add);
              editor_opened = c.save->isEnabled() && c.title->isEnabled();
            });
  ASSERT_EQ(messages_.size(), 1u);  // the tree load as the window opened
  EXPECT_TRUE(messages_[0].ends_with("(-2147217871)")) << messages_[0];
  EXPECT_EQ(messages_[0].find("S3cret"), std::string::npos);
  EXPECT_TRUE(editor_opened);
}

}  // namespace
