#pragma once

// The real calendar window offscreen on a memo database behind ODBC, for the
// tests that drive the same user actions on each kind of server: the window
// opened inside its modal loop, the typical event, and Save of a memo that
// another window deleted meanwhile, each checked against the rows read past
// the component.

#include <agendia/calender.h>
#include <agendia/com_ptr.h>

#include "integration/calendar_controls.h"
#include "integration/modal_watcher.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace agendia::testing {

// Add, 09:30, Weekly, the title and content, Save. The texts are set as
// pasted: key events carry Latin-1 only.
inline void AddMemo(Controls& c, const QString& title, const QString& content) {
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

// A memo database behind ODBC, and its rows read past the component, each
// as "title|content|sender|receiver|dSend|nValidDay|bHasRead|kind|account|year|type".
class MemoStore {
 public:
  virtual ~MemoStore() = default;
  virtual std::string ConnectionString() const = 0;
  virtual Texts Rows() = 0;
  // Deletes every memo past the component, as another window would.
  virtual void DeleteAll() = 0;
};

class ServerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  // A new calendar object, or none after a failure the test has reported.
  virtual ComPtr<_Calender> NewCalendar() = 0;

  // Opens the window of "demo" on 2024-03-01 with `connection` and runs `use`
  // inside its modal loop; message boxes are answered with OK and kept in
  // messages_. A window still open after give_up_ms_ is closed and fails
  // the test.
  void UseWindow(const std::string& connection, const std::function<void(Controls&)>& use) {
    const ComPtr<_Calender> calendar = NewCalendar();
    ASSERT_TRUE(calendar);
    std::optional<ModalWatcher> watcher;
    const std::vector<ShownMessage> shown =
        UseCalendarWindow(*calendar, connection, "en-us", watcher, WithControls(use), give_up_ms_);
    for (const ShownMessage& message : shown) messages_.push_back(S(message.text));
  }

  // The typical event (Add, Save, click, Modify, Save, Delete) on `store`
  // through `connection`: `title` and `content` added, the title changed to
  // `changed`. `stored_content` is the content as store.Rows() gives it.
  void RunTypicalEvent(MemoStore& store, const std::string& connection, const QString& title,
                       const QString& content, const QString& changed,
                       const std::string& stored_content) {
    Texts added, shown, modified, deleted, titles_after_save;
    UseWindow(connection, [&](Controls& c) {
      AddMemo(c, title, content);
      added = store.Rows();
      titles_after_save = MemoTitles(*c.tree);

      ClickNode(*c.tree, title);
      shown = {S(c.hour->text()), S(c.minute->text()), S(c.kind->currentText()),
               S(c.title->text()), S(c.content->toPlainText())};
      Click(c.modify);
      c.title->setText(changed);
      Click(c.save);
      modified = store.Rows();

      ClickNode(*c.tree, changed);
      Click(c.remove);
      deleted = store.Rows();
      EXPECT_EQ(MemoTitles(*c.tree), Texts{});
    });
    EXPECT_EQ(messages_, Texts{});
    const std::string rest =
        "|" + stored_content + "|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|100";
    EXPECT_EQ(added, Texts{S(title) + rest});
    EXPECT_EQ(titles_after_save, Texts{S(title)});
    EXPECT_EQ(shown, (Texts{"9", "30", "Weekly", S(title), S(content)}));
    EXPECT_EQ(modified, Texts{S(changed) + rest});
    EXPECT_EQ(deleted, Texts{});
  }

  // Add, click, Modify, the memo deleted past the window, Save: the editor
  // keeps what was typed, one message says why, and nothing is stored.
  void RunSaveOfAMemoDeletedMeanwhile(MemoStore& store) {
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

  int give_up_ms_ = 60000;
  Texts messages_;
};

}  // namespace agendia::testing
