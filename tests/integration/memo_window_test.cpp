// The memo tree and the detail view in the real window, on real database
// files: rows written by the sqlite3 shell, read through the shipped library.

#include <agendia/create_calender.h>

#include "integration/modal_watcher.h"
#include "support/memo_database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <map>

namespace {

using agendia::testing::MemoDatabase;
using agendia::testing::ModalWatcher;
using agendia::testing::RunSqliteShell;

class MemoWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }

  agendia::Status Design(std::string conn, std::string day = "2024-03-01") {
    auto created = agendia::CreateCalender();
    if (!created.ok()) return created.status();
    std::string user = "demo", account = "001", year = "2024", language = "en-us";
    return (*created)->CalenderDesign(&conn, &user, &account, &year, &day, &language);
  }

  static QModelIndex Find(QTreeView& tree, const QString& text) {
    const auto found = tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, text, 1,
                                           Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.first();
  }

  static void Click(QTreeView& tree, const QModelIndex& index) {
    tree.scrollTo(index);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(index).center());
  }

  MemoDatabase database;
};

TEST_F(MemoWindowTest, MemosWrittenByTheShellAreListedByKindAndShownWhenClicked) {
  // The current day is Friday 2024-03-01; one memo of each kind is due.
  const auto inserted = RunSqliteShell(database.path(), R"(
insert into ZA_Message values ('A-ONCE', 100, 'Dentist', 'Bring the card', 'demo', 'demo', '2024-03-01 07:05:00', 425, 0, 0, '001', 2024);
insert into ZA_Message values ('B-DAY', 100, 'Read mail', 'Inbox zero', 'demo', 'demo', '2024-04-10 09:00:00', 540, 0, 1, '001', 2024);
insert into ZA_Message values ('C-WEEK', 100, 'Team meeting', 'Room 3', 'demo', 'demo', '2024-02-16 09:30:00', 570, 0, 2, '001', 2024);
insert into ZA_Message values ('D-MONTH', 100, 'Pay rent', 'Transfer', 'demo', 'demo', '2023-11-01 00:00:00', 0, 0, 3, '001', 2023);
insert into ZA_Message values ('E-QUARTER', 100, 'Report', 'Numbers', 'demo', 'demo', '2023-06-01 16:45:00', 1005, 0, 4, '001', 2023);
insert into ZA_Message values ('F-YEAR', 100, 'Anniversary', 'Flowers', 'demo', 'demo', '2021-03-20 12:00:00', 720, 0, 5, '001', 2021);
insert into ZA_Message values ('G-NOT-DUE', 100, 'Not today', '', 'demo', 'demo', '2024-03-02 12:00:00', 720, 0, 0, '001', 2024);
insert into ZA_Message values ('H-OTHER', 100, 'Not mine', '', 'carol', 'carol', '2024-03-01 12:00:00', 720, 0, 1, '001', 2024);
)");
  if (!inserted) GTEST_SKIP() << "the sqlite3 shell is not installed";

  std::map<QString, QString> group_of;  // memo title -> group title
  std::map<QString, QStringList> shown;  // memo title -> fields shown after its click
  QStringList groups;
  bool all_expanded = true;
  ModalWatcher watcher([&](QWidget& window) {
    auto* tree = window.findChild<QTreeView*>("tvInfo");
    const QAbstractItemModel* model = tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
      const QModelIndex group = model->index(g, 0);
      groups << group.data().toString();
      all_expanded = all_expanded && tree->isExpanded(group);
      for (int m = 0; m < model->rowCount(group); ++m) {
        group_of[model->index(m, 0, group).data().toString()] = group.data().toString();
      }
    }
    for (const auto& [title, group] : group_of) {
      Click(*tree, Find(*tree, title));
      shown[title] = {window.findChild<QLineEdit*>("txtHour")->text(),
                      window.findChild<QLineEdit*>("txtMinute")->text(),
                      window.findChild<QLabel*>("lblCurrDay")->text(),
                      window.findChild<QComboBox*>("cboIntrval")->currentText(),
                      window.findChild<QLineEdit*>("txtTitle")->text(),
                      window.findChild<QPlainTextEdit*>("txtContent")->toPlainText()};
    }
    EXPECT_TRUE(window.findChild<QAbstractButton*>("btnModify")->isEnabled());
    EXPECT_TRUE(window.findChild<QAbstractButton*>("btnDelete")->isEnabled());
    window.close();
  });
  const agendia::Status status = Design(database.ConnectionString());
  ASSERT_TRUE(status.ok()) << status.description();

  EXPECT_TRUE(watcher.message_texts.isEmpty()) << watcher.message_texts.join("; ").toStdString();
  EXPECT_EQ(groups, (QStringList{"Once", "Daily", "Weekly", "Monthly", "Quarterly", "Yearly"}));
  EXPECT_TRUE(all_expanded);
  const std::map<QString, QString> expected_groups = {
      {"Dentist", "Once"},     {"Read mail", "Daily"}, {"Team meeting", "Weekly"},
      {"Pay rent", "Monthly"}, {"Report", "Quarterly"}, {"Anniversary", "Yearly"}};
  EXPECT_EQ(group_of, expected_groups);
  EXPECT_EQ(shown["Dentist"],
            (QStringList{"7", "5", "Date: 2024-03-01", "Once", "Dentist", "Bring the card"}));
  EXPECT_EQ(shown["Pay rent"],
            (QStringList{"0", "0", "Date: 2023-11-01", "Monthly", "Pay rent", "Transfer"}));
  EXPECT_EQ(shown["Report"],
            (QStringList{"16", "45", "Date: 2023-06-01", "Quarterly", "Report", "Numbers"}));
}

TEST_F(MemoWindowTest, AnUnreachableDatabaseShowsOneMessageAndTheWindowStaysUsable) {
  const std::string missing = (database.folder() / "no-such-folder" / "VXSystem.db").string();
  int groups = 0;
  bool any_expanded = false;
  bool add_enabled = false;
  ModalWatcher watcher([&](QWidget& window) {
    auto* tree = window.findChild<QTreeView*>("tvInfo");
    groups = tree->model()->rowCount();
    for (int g = 0; g < groups; ++g) any_expanded = any_expanded || tree->isExpanded(tree->model()->index(g, 0));
    add_enabled = window.findChild<QAbstractButton*>("btnAdd")->isEnabled();
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  const agendia::Status status = Design("Provider=SQLite;Data Source=" + missing);
  ASSERT_TRUE(status.ok()) << status.description();
  ASSERT_EQ(watcher.message_texts.size(), 1);
  EXPECT_TRUE(watcher.message_texts[0].endsWith("(-2147467259)")) << watcher.message_texts[0].toStdString();
  EXPECT_TRUE(watcher.message_texts[0].contains("no-such-folder")) << watcher.message_texts[0].toStdString();
  EXPECT_EQ(groups, 6);
  EXPECT_FALSE(any_expanded);
  EXPECT_TRUE(add_enabled);
  EXPECT_FALSE(std::filesystem::exists(missing)) << "the component never creates a database";
}

}  // namespace
