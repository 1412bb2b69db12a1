// Editing memos in the real window, driven as a person drives it: mouse
// clicks on buttons, tree nodes and fields, key events into the focused
// widget, the clipboard. Every stored row is read back through the sqlite3
// library, past the component's own database layer.

#include <agendia/create_calender.h>

#include "integration/calendar_controls.h"
#include "integration/modal_watcher.h"
#include "support/memo_database.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using agendia::testing::MemoDatabase;
using agendia::testing::MemoRow;
using agendia::testing::ModalWatcher;
using agendia::testing::ShownMessage;
using agendia::testing::StoredRow;

const QString kCaption = "Calendar Memos";
const QString kTimeMissing = "Please enter the reminder time (hour and minute).";
const QString kHourMissing = "Please enter the hour.";
const QString kMinuteMissing = "Please enter the minute.";
const QString kTimeOutOfRange =
    "The time is out of range: the hour must be 0 to 23 and the minute 0 to 59.";

using agendia::testing::Click;
using agendia::testing::ClickNode;
using agendia::testing::Controls;
using agendia::testing::S;
using agendia::testing::Texts;

const std::vector<bool> kLocked(6, false);
const std::vector<bool> kOpen(6, true);

// A left click into an edit box, in its middle unless `at` is given; it
// takes the keyboard focus.
void ClickInto(QWidget* field, std::optional<QPoint> at = std::nullopt) {
  QWidget* target = field;
  if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) target = plain->viewport();
  QTest::mouseClick(target, Qt::LeftButton, {}, at.value_or(target->rect().center()));
  EXPECT_EQ(QApplication::focusWidget(), field) << field->objectName().toStdString();
}

// Presses and releases a key on whatever widget has the keyboard focus; the
// release goes to the widget that has it after the press, as it does on a
// real keyboard.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr) << "no widget has the keyboard focus";
  QTest::keyPress(focus, key, modifiers);
  if (QWidget* after = QApplication::focusWidget()) QTest::keyRelease(after, key, modifiers);
}

// Types `text` into the focused widget, one key press and release for each
// character, the character as the events' text. (QTest::keyClicks takes
// Latin-1 text only.)
void Type(const QString& text) {
  for (const QChar ch : text) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no widget has the keyboard focus";
    const auto key = static_cast<Qt::Key>(ch.toUpper().unicode());
    QTest::sendKeyEvent(QTest::Press, focus, key, QString(ch), Qt::NoModifier);
    if (QWidget* after = QApplication::focusWidget()) {
      QTest::sendKeyEvent(QTest::Release, after, key, QString(ch), Qt::NoModifier);
    }
  }
}

// Pastes `text` into an edit box with the mouse: a right click, then Paste in
// the box's context menu. QTest hands mouse events straight to the widget,
// past the window system that turns a right click into a context-menu
// request, so that request is sent here after the click.
void PasteWithMouse(QLineEdit* field, const QString& text) {
  QApplication::clipboard()->setText(text);
  const QPoint middle = field->rect().center();
  QTest::mouseClick(field, Qt::RightButton, {}, middle);
  QContextMenuEvent request(QContextMenuEvent::Mouse, middle, field->mapToGlobal(middle));
  QApplication::sendEvent(field, &request);
  QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr) << "no context menu opened";
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith("&Paste")) paste = action;
  }
  ASSERT_NE(paste, nullptr) << "the context menu has no Paste item";
  ASSERT_TRUE(paste->isEnabled());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
}

// The memo titles listed under the top-level node `group`.
Texts MemosUnder(const QTreeView& tree, const QString& group) {
  const QAbstractItemModel* model = tree.model();
  for (int g = 0; g < model->rowCount(); ++g) {
    const QModelIndex node = model->index(g, 0);
    if (node.data().toString() != group) continue;
    Texts titles;
    for (int m = 0; m < model->rowCount(node); ++m) {
      titles.push_back(S(model->index(m, 0, node).data().toString()));
    }
    return titles;
  }
  ADD_FAILURE() << "the tree has no group " << group.toStdString();
  return {};
}

// All memos in the tree, under any group.
int MemoCount(const QTreeView& tree) {
  int count = 0;
  const QAbstractItemModel* model = tree.model();
  for (int g = 0; g < model->rowCount(); ++g) count += model->rowCount(model->index(g, 0));
  return count;
}

std::string Column(const StoredRow& row, const std::string& name) {
  const auto found = row.find(name);
  if (found == row.end()) return "<no column " + name + ">";
  return found->second.value_or("<NULL>");
}

class EditingWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }

  // Opens the calendar window of "demo", account 001, on 2024-03-01 and runs
  // `use` on it inside its modal loop. The window is closed afterwards unless
  // `use` closed it.
  void UseWindow(const std::function<void(Controls&)>& use, std::string language = "en-us") {
    auto created = agendia::CreateCalender();
    ASSERT_TRUE(created.ok()) << created.status().description();
    messages_ = agendia::testing::UseCalendarWindow(**created, database_.ConnectionString(),
                                                    language, watcher_,
                                                    agendia::testing::WithControls(use));
  }

  // The message boxes shown so far, each answered with OK.
  const std::vector<ShownMessage>& Messages() const {
    return watcher_ ? watcher_->messages : messages_;
  }

  std::vector<StoredRow> MemoRows() { return database_.Query("select * from ZA_Message"); }

  MemoDatabase database_;
  std::optional<ModalWatcher> watcher_;
  std::vector<ShownMessage> messages_;
};

TEST_F(EditingWindowTest, AMemoIsAddedShownModifiedAndDeletedWithMouseAndKeyboard) {
  std::vector<StoredRow> added, modified, deleted;
  UseWindow([&](Controls& c) {
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(c.EditorEnabled(), kLocked);

    Click(c.add);
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(c.EditorEnabled(), kOpen);
    EXPECT_EQ(c.Fields(), Texts(5, ""));

    ClickInto(c.hour);
    Type("9");
    Press(Qt::Key_Tab);
    Type("30");
    // The chooser is worked with the keyboard: Tab to it, first item, then
    // down twice to the third, Weekly.
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), c.kind);
    Press(Qt::Key_Home);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    EXPECT_EQ(S(c.kind->currentText()), "Weekly");
    Press(Qt::Key_Tab);  // past the hidden end day, to the title
    Type("Team meeting");
    Press(Qt::Key_Tab);
    Type("Room 3, bring the slides");
    Click(c.save);

    added = MemoRows();
    EXPECT_EQ(MemosUnder(*c.tree, "Weekly"), Texts{"Team meeting"});
    EXPECT_EQ(MemoCount(*c.tree), 1);
    EXPECT_EQ(c.EditorEnabled(), kLocked);
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, false, false, false}));

    ClickNode(*c.tree, "Team meeting");
    EXPECT_EQ(c.Fields(), (Texts{"9", "30", "", "Team meeting", "Room 3, bring the slides"}));
    EXPECT_EQ(S(c.kind->currentText()), "Weekly");
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, true, true, false}));

    Click(c.modify);
    EXPECT_EQ(c.EditorEnabled(), kOpen);
    EXPECT_TRUE(c.save->isEnabled());
    ClickInto(c.title);
    Press(Qt::Key_A, Qt::ControlModifier);  // select all, then type over it
    Type("Team sync");
    Click(c.save);

    modified = MemoRows();
    EXPECT_EQ(MemosUnder(*c.tree, "Weekly"), Texts{"Team sync"});
    EXPECT_EQ(c.EditorEnabled(), kLocked);
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, false, false, false}));

    ClickNode(*c.tree, "Team sync");
    EXPECT_EQ(S(c.title->text()), "Team sync");
    Click(c.remove);

    deleted = MemoRows();
    EXPECT_EQ(MemosUnder(*c.tree, "Weekly"), Texts{});
    EXPECT_EQ(MemoCount(*c.tree), 0);
    EXPECT_EQ(c.Fields(), Texts(5, ""));
    EXPECT_EQ(c.EditorEnabled(), kLocked);
    EXPECT_TRUE(c.remove->isEnabled());
    EXPECT_FALSE(c.save->isEnabled());
  });

  EXPECT_TRUE(Messages().empty()) << S(Messages().front().text);
  ASSERT_EQ(added.size(), 1u);
  const StoredRow& row = added[0];
  EXPECT_FALSE(Column(row, "cMsgId").empty());
  EXPECT_EQ(Column(row, "nMsgType"), "100");
  EXPECT_EQ(Column(row, "cMsgTitle"), "Team meeting");
  EXPECT_EQ(Column(row, "cMsgContent"), "Room 3, bring the slides");
  EXPECT_EQ(Column(row, "cSender"), "demo");
  EXPECT_EQ(Column(row, "cReceiver"), "demo");
  EXPECT_EQ(Column(row, "dSend"), "2024-03-01 09:30:00");
  EXPECT_EQ(Column(row, "nValidDay"), "570");
  EXPECT_EQ(Column(row, "bHasRead"), "0");
  EXPECT_EQ(Column(row, "DisplayPeriods"), "2");
  EXPECT_EQ(Column(row, "Account"), "001");
  EXPECT_EQ(Column(row, "Year"), "2024");

  // Modify rewrites the same row: only the title differs.
  ASSERT_EQ(modified.size(), 1u);
  StoredRow expected = row;
  expected["cMsgTitle"] = "Team sync";
  EXPECT_EQ(modified[0], expected);

  EXPECT_TRUE(deleted.empty());
}

TEST_F(EditingWindowTest, APastedTitleIsStoredAndShownExactlyAsPasted) {
  const QString pasted = "Bob's 'quoted' <b>";
  QString shown_after_save;
  UseWindow([&](Controls& c) {
    Click(c.add);
    ClickInto(c.hour);
    Type("7");
    Press(Qt::Key_Tab);
    Type("5");
    ClickInto(c.title);
    // Pasted text passes no key filter: only Ctrl+V itself is a key press.
    QApplication::clipboard()->setText(pasted);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(S(c.title->text()), S(pasted));
    Press(Qt::Key_Tab);
    Type("Lunch with Bob");
    Click(c.save);

    ClickNode(*c.tree, pasted);
    shown_after_save = c.title->text();
    EXPECT_EQ(MemosUnder(*c.tree, "Once"), Texts{S(pasted)});
  });

  EXPECT_TRUE(Messages().empty()) << S(Messages().front().text);
  EXPECT_EQ(S(shown_after_save), S(pasted));
  const auto rows = MemoRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], "cMsgTitle"), pasted.toStdString());
  EXPECT_EQ(Column(rows[0], "cMsgContent"), "Lunch with Bob");
  EXPECT_EQ(Column(rows[0], "dSend"), "2024-03-01 07:05:00");
  EXPECT_EQ(Column(rows[0], "nValidDay"), "425");
  EXPECT_EQ(Column(rows[0], "DisplayPeriods"), "0");
}

TEST_F(EditingWindowTest, TypedKeysAreFilteredAndTimesClampedWhileTyping) {
  Texts hours, minutes;
  std::string title, content;
  UseWindow([&](Controls& c) {
    Click(c.add);
    ClickInto(c.hour);
    Type("1a2");
    hours.push_back(S(c.hour->text()));
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Backspace);
    hours.push_back(S(c.hour->text()));
    Type("2");
    hours.push_back(S(c.hour->text()));
    Type("5");
    hours.push_back(S(c.hour->text()));

    ClickInto(c.minute);
    Type("6");
    minutes.push_back(S(c.minute->text()));
    Type("5");
    minutes.push_back(S(c.minute->text()));
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Backspace);
    Type("5");
    minutes.push_back(S(c.minute->text()));
    // A click at the left edge puts the cursor before the 5: the text the
    // click leaves behind must not move it to the end again.
    ClickInto(c.minute, QPoint(2, c.minute->height() / 2));
    EXPECT_EQ(c.minute->cursorPosition(), 0);
    Type("1");
    minutes.push_back(S(c.minute->text()));

    ClickInto(c.title);
    Type("a.b'c<d>e");
    title = S(c.title->text());
    Press(Qt::Key_Tab);
    Type("Tea <b>at 'five'.");
    content = S(c.content->toPlainText());
  });

  EXPECT_EQ(hours, (Texts{"12", "", "2", "23"}));
  EXPECT_EQ(minutes, (Texts{"6", "59", "5", "15"}));
  EXPECT_EQ(title, "abcde");
  EXPECT_EQ(content, "Tea bat five");
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(MemoRows().empty());
}

TEST_F(EditingWindowTest, AChineseTitleTypedInTheChineseWindowIsStoredAndShownAsTyped) {
  // Full-width punctuation is not among the characters the filter discards.
  const QString title = QString::fromUtf8("周会：讨论预算");
  const QString content = QString::fromUtf8("带上笔记本。");
  QString shown_title, shown_content, shown_kind;
  UseWindow(
      [&](Controls& c) {
        Click(c.add);
        ClickInto(c.hour);
        Type("8");
        Press(Qt::Key_Tab);
        Type("15");
        ClickInto(c.title);
        Type(title);
        EXPECT_EQ(S(c.title->text()), S(title));
        Press(Qt::Key_Tab);
        Type(content);
        Click(c.save);

        // No kind chosen: the memo is a one-time memo.
        EXPECT_EQ(MemosUnder(*c.tree, QString::fromUtf8("一次")), Texts{S(title)});
        ClickNode(*c.tree, title);
        shown_title = c.title->text();
        shown_content = c.content->toPlainText();
        shown_kind = c.kind->currentText();
      },
      "zh-cn");

  EXPECT_TRUE(Messages().empty()) << S(Messages().front().text);
  EXPECT_EQ(S(shown_title), S(title));
  EXPECT_EQ(S(shown_content), S(content));
  EXPECT_EQ(S(shown_kind), "一次");
  const auto rows = MemoRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], "cMsgTitle"), title.toStdString());
  EXPECT_EQ(Column(rows[0], "cMsgContent"), content.toStdString());
  EXPECT_EQ(Column(rows[0], "dSend"), "2024-03-01 08:15:00");
  EXPECT_EQ(Column(rows[0], "DisplayPeriods"), "0");
}

TEST_F(EditingWindowTest, SaveNamesAMissingOrImpossibleTimeAndStoresNothing) {
  std::vector<size_t> messages_after;
  bool editor_open = false;
  QString hour_after_paste;
  UseWindow([&](Controls& c) {
    Click(c.add);
    ClickInto(c.title);
    Type("Lunch");
    Press(Qt::Key_Tab);
    Type("Canteen");

    Click(c.save);  // neither hour nor minute
    messages_after.push_back(Messages().size());

    ClickInto(c.minute);
    Type("5");
    Click(c.save);  // no hour
    messages_after.push_back(Messages().size());

    ClickInto(c.minute);
    Press(Qt::Key_Backspace);
    ClickInto(c.hour);
    Type("7");
    Click(c.save);  // no minute
    messages_after.push_back(Messages().size());

    // 24 cannot be typed (it becomes 23 when the key is released); pasted
    // with the mouse, no key follows it.
    ClickInto(c.hour);
    Press(Qt::Key_Backspace);
    PasteWithMouse(c.hour, "24");
    hour_after_paste = c.hour->text();
    ClickInto(c.minute);
    Type("5");
    Click(c.save);
    messages_after.push_back(Messages().size());

    editor_open = c.EditorEnabled() == kOpen && c.save->isEnabled();
  });

  EXPECT_EQ(S(hour_after_paste), "24");
  EXPECT_EQ(messages_after, (std::vector<size_t>{1, 2, 3, 4}));
  ASSERT_EQ(Messages().size(), 4u);
  EXPECT_EQ(S(Messages()[0].text), S(kTimeMissing));
  EXPECT_EQ(S(Messages()[0].caption), S(kCaption));
  EXPECT_EQ(Messages()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(S(Messages()[1].text), S(kHourMissing));
  EXPECT_EQ(Messages()[1].icon, QMessageBox::Warning);
  EXPECT_EQ(S(Messages()[2].text), S(kMinuteMissing));
  EXPECT_EQ(Messages()[2].icon, QMessageBox::Warning);
  EXPECT_EQ(S(Messages()[3].text), S(kTimeOutOfRange));
  EXPECT_EQ(S(Messages()[3].caption), S(kCaption));
  EXPECT_EQ(Messages()[3].icon, QMessageBox::Information);
  EXPECT_TRUE(editor_open) << "a refused Save leaves the editor as it was";
  EXPECT_TRUE(MemoRows().empty());
}

TEST_F(EditingWindowTest, ANonNumberPastedIntoTheHourIsKeptButRefusedBySave) {
  Texts hours;
  UseWindow([&](Controls& c) {
    Click(c.add);
    ClickInto(c.hour);
    // Shift+Insert pastes without a character, so the digit filter lets it
    // through; its key release runs the clamp, which leaves "ab" alone.
    QApplication::clipboard()->setText("ab");
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    hours.push_back(S(c.hour->text()));
    Press(Qt::Key_End);
    hours.push_back(S(c.hour->text()));
    Press(Qt::Key_Tab);
    Type("5");
    ClickInto(c.title);
    Type("Call");
    Press(Qt::Key_Tab);
    Type("Supplier");
    Click(c.save);
    hours.push_back(S(c.hour->text()));
  });

  EXPECT_EQ(hours, (Texts{"ab", "ab", "ab"}));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(S(Messages()[0].text), S(kTimeOutOfRange));
  EXPECT_EQ(S(Messages()[0].caption), S(kCaption));
  EXPECT_EQ(Messages()[0].icon, QMessageBox::Information);
  EXPECT_TRUE(MemoRows().empty());
}

TEST_F(EditingWindowTest, TheWindowIsUsableWithoutAMouse) {
  MemoRow memo = agendia::testing::Memo("K-STANDUP", 0);
  memo.title = "Standup";
  memo.content = "Room 2";
  memo.send = "2024-03-01 08:45:00";
  database_.Insert(memo);

  Texts focus_order;
  bool closed_by_escape = false;
  UseWindow([&](Controls& c) {
    // The tree comes first in the tab order and has the focus on opening.
    ASSERT_EQ(QApplication::focusWidget(), c.tree);
    auto current = [&] { return S(c.tree->currentIndex().data().toString()); };
    // Taking the focus made the first node current, without selecting it.
    EXPECT_EQ(current(), "Once");
    EXPECT_EQ(c.Fields(), Texts(5, ""));

    Press(Qt::Key_Down);  // to the memo under the group
    ASSERT_EQ(current(), "Standup");
    EXPECT_EQ(c.Fields(), (Texts{"8", "45", "", "Standup", "Room 2"}));
    EXPECT_EQ(S(c.kind->currentText()), "Once");
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, true, true, false}));

    Press(Qt::Key_Down);  // a group: no memo selected, the fields keep it
    EXPECT_EQ(current(), "Daily");
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(S(c.title->text()), "Standup");
    Press(Qt::Key_Up);
    EXPECT_EQ(current(), "Standup");
    EXPECT_EQ(c.ButtonsEnabled(), (std::vector<bool>{true, true, true, false}));

    Press(Qt::Key_A, Qt::AltModifier);  // "&Add"
    // A mnemonic clicks its button after a short animation.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.save->isEnabled(); }, 2000));
    EXPECT_EQ(c.EditorEnabled(), kOpen);
    EXPECT_EQ(c.Fields(), Texts(5, ""));
    // Add puts the focus on the hour, however it was pressed.
    EXPECT_EQ(QApplication::focusWidget(), c.hour);

    for (int i = 0; i < 9; ++i) {
      Press(Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      focus_order.push_back(focus ? S(focus->objectName()) : "<none>");
    }

    Press(Qt::Key_Escape);
    closed_by_escape = !c.window || !c.window->isVisible();
  });

  // Disabled buttons and the hidden end day take no focus.
  EXPECT_EQ(focus_order, (Texts{"txtMinute", "cboIntrval", "txtTitle", "txtContent", "btnAdd",
                                "btnSave", "btnExit", "tvInfo", "txtHour"}));
  EXPECT_TRUE(closed_by_escape);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(MemoRows().size(), 1u);
}

}  // namespace
