// Edit boxes: key press codes and discarding, key and mouse codes, and the
// maximum length against typed and pasted text.
#include "platform/qt/qt_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

class QtEditBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = BuildForm(SampleFormDesign());
    ASSERT_TRUE(window_);
    hour_ = dynamic_cast<EditBox*>(window_->FindControl("txtHour"));
    content_ = dynamic_cast<EditBox*>(window_->FindControl("txtContent"));
    ASSERT_NE(hour_, nullptr);
    ASSERT_NE(content_, nullptr);
  }

  QLineEdit* HourWidget() { return ChildOf<QLineEdit>(*window_, "txtHour"); }
  QPlainTextEdit* ContentWidget() { return ChildOf<QPlainTextEdit>(*window_, "txtContent"); }

  std::unique_ptr<FormWindow> window_;
  EditBox* hour_ = nullptr;
  EditBox* content_ = nullptr;
};

TEST_F(QtEditBoxTest, KeyPressSeesTypedCharactersAndZeroDiscardsThem) {
  std::vector<int16_t> seen;
  content_->OnKeyPress([&seen](int16_t& key) {
    seen.push_back(key);
    if (key == '.' || key == '<') key = 0;
  });

  QTest::keyClicks(ContentWidget(), "a.b<c");
  QTest::keyClick(ContentWidget(), Qt::Key_Backspace);

  EXPECT_EQ(content_->Text(), "ab");
  EXPECT_EQ(seen, (std::vector<int16_t>{'a', '.', 'b', '<', 'c', 8}));
}

TEST_F(QtEditBoxTest, KeysWithoutACharacterRaiseNoKeyPress) {
  int presses = 0;
  hour_->OnKeyPress([&presses](int16_t&) { ++presses; });
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Shift, Qt::Key_Home, Qt::Key_Delete}) {
    QTest::keyClick(HourWidget(), key);
  }
  EXPECT_EQ(presses, 0);
}

TEST_F(QtEditBoxTest, AKeyPressHandlerCanReplaceTheCharacter) {
  hour_->OnKeyPress([](int16_t& key) {
    if (key == 'x') key = '7';
  });
  QTest::keyClicks(HourWidget(), "x");
  EXPECT_EQ(hour_->Text(), "7");
}

TEST_F(QtEditBoxTest, KeyUpReportsVirtualKeyCodesAndShiftState) {
  std::vector<std::pair<int16_t, int16_t>> released;
  hour_->OnKeyUp([&released](int16_t key, int16_t shift) { released.emplace_back(key, shift); });

  QTest::keyClick(HourWidget(), Qt::Key_A, Qt::ShiftModifier);
  QTest::keyClick(HourWidget(), Qt::Key_7);
  QTest::keyClick(HourWidget(), Qt::Key_Left, Qt::ControlModifier);
  QTest::keyClick(HourWidget(), Qt::Key_Backspace);

  // The modifier keys are released too, after the key they modified.
  EXPECT_EQ(released, (std::vector<std::pair<int16_t, int16_t>>{
                          {65, 1}, {16, 0}, {55, 0}, {37, 2}, {17, 0}, {8, 0}}));
}

TEST_F(QtEditBoxTest, MouseEventsReportButtonShiftAndPosition) {
  std::vector<std::tuple<std::string, int16_t, int16_t, float, float>> events;
  hour_->OnMouseDown([&](int16_t b, int16_t s, float x, float y) {
    events.emplace_back("down", b, s, x, y);
  });
  hour_->OnMouseUp([&](int16_t b, int16_t s, float x, float y) {
    events.emplace_back("up", b, s, x, y);
  });

  QTest::mouseClick(HourWidget(), Qt::RightButton, Qt::AltModifier, QPoint(3, 4));

  using E = std::tuple<std::string, int16_t, int16_t, float, float>;
  EXPECT_EQ(events, (std::vector<E>{{"down", 2, 4, 3.f, 4.f}, {"up", 2, 4, 3.f, 4.f}}));
}

TEST_F(QtEditBoxTest, MultiLineBoxKeepsItsMaximumLengthForTypedAndPastedText) {
  ASSERT_EQ(content_->MaxLength(), 10);
  ASSERT_TRUE(content_->MultiLine());
  QTest::keyClicks(ContentWidget(), "abcdefghijkl");
  EXPECT_EQ(content_->Text(), "abcdefghij");

  content_->SetText("abc");
  ContentWidget()->moveCursor(QTextCursor::Start);
  QApplication::clipboard()->setText("0123456789");
  ContentWidget()->paste();

  EXPECT_EQ(content_->Text(), "0123456abc");
}

TEST_F(QtEditBoxTest, PastedTextIsNotFilteredByKeyPressButIsCutToTheMaximumLength) {
  hour_->OnKeyPress([](int16_t& key) { key = 0; });
  QApplication::clipboard()->setText("x12");
  HourWidget()->paste();
  EXPECT_EQ(hour_->Text(), "x1");
}

// The limit bounds what the user puts in; a memo written longer by another
// program is shown whole, and a Modify of another field saves it unchanged.
TEST_F(QtEditBoxTest, SetTextShowsTheWholeTextAndGivesItBackByteForByte) {
  hour_->SetText("123");
  content_->SetText("line one\r\nline two\r\n");
  EXPECT_EQ(hour_->Text(), "123");
  EXPECT_EQ(content_->Text(), "line one\r\nline two\r\n");
  content_->SetText("a\nb\rc");
  EXPECT_EQ(content_->Text(), "a\nb\rc");
  EXPECT_EQ(ContentWidget()->document()->blockCount(), 3);
}

// Typing into a text longer than the limit may change it but never grow it.
TEST_F(QtEditBoxTest, AStoredTextLongerThanTheLimitCanBeEditedButNotGrown) {
  content_->SetText("0123456789abcde");
  ContentWidget()->moveCursor(QTextCursor::End);
  QTest::keyClicks(ContentWidget(), "xy");
  EXPECT_EQ(content_->Text(), "0123456789abcde");
  QTest::keyClick(ContentWidget(), Qt::Key_Backspace);
  QTest::keyClicks(ContentWidget(), "z");
  EXPECT_EQ(content_->Text(), "0123456789abcdz");
}

// Line breaks the user types or pastes are stored as the host's Windows
// programs write them; what was not edited keeps its own line ends.
TEST_F(QtEditBoxTest, EditedLineBreaksAreCrLfAndOtherSpacesSurvive) {
  content_->SetText("a\xC2\xA0" "b\xE2\x80\xA8" "c");  // no-break space, line separator
  EXPECT_EQ(content_->Text(), "a\xC2\xA0" "b\xE2\x80\xA8" "c");
  ContentWidget()->moveCursor(QTextCursor::End);
  QTest::keyClick(ContentWidget(), Qt::Key_Return);
  QTest::keyClicks(ContentWidget(), "d");
  EXPECT_EQ(content_->Text(), "a\xC2\xA0" "b\xE2\x80\xA8" "c\r\nd");

  content_->SetText("");
  QApplication::clipboard()->setText("1\n2\r\n3");
  ContentWidget()->paste();
  EXPECT_EQ(content_->Text(), "1\r\n2\r\n3");
}

// A character outside the basic plane is one character, never cut in half.
TEST_F(QtEditBoxTest, TheLimitCutsWholeCharacters) {
  const std::string emoji = "\xF0\x9F\x98\x80";
  QApplication::clipboard()->setText(QString::fromStdString("1" + emoji + emoji));
  HourWidget()->paste();
  EXPECT_EQ(hour_->Text(), "1" + emoji);
  hour_->SetText(emoji + emoji);
  EXPECT_EQ(hour_->Text(), emoji + emoji);

  QApplication::clipboard()->setText(QString::fromStdString("123456789" + emoji + emoji));
  ContentWidget()->paste();
  EXPECT_EQ(content_->Text(), "123456789" + emoji);
  content_->SetText("12345678");
  ContentWidget()->moveCursor(QTextCursor::End);
  QTest::keyClicks(ContentWidget(), "9");
  QApplication::clipboard()->setText(QString::fromStdString(emoji));
  ContentWidget()->paste();
  EXPECT_EQ(content_->Text(), "123456789" + emoji);
}

// A huge paste is cut before it goes in: the box never holds more than its
// limit, so pasting a megabyte costs no more than pasting a line.
TEST_F(QtEditBoxTest, AHugePasteIsCutBeforeItIsInserted) {
  int most = 0;
  QObject::connect(ContentWidget()->document(), &QTextDocument::contentsChanged, [&] {
    most = std::max(most, ContentWidget()->document()->characterCount() - 1);
  });
  QApplication::clipboard()->setText(QString(1 << 20, QChar('m')));
  ContentWidget()->paste();
  EXPECT_EQ(content_->Text(), std::string(10, 'm'));
  EXPECT_EQ(most, 10);
}

TEST_F(QtEditBoxTest, SettingTheSameTextKeepsCursorSelectionAndUndo) {
  hour_->SetText("12");
  HourWidget()->setCursorPosition(1);
  content_->SetText("abc");
  QTextCursor cursor = ContentWidget()->textCursor();
  cursor.setPosition(1);
  cursor.setPosition(2, QTextCursor::KeepAnchor);
  ContentWidget()->setTextCursor(cursor);
  QTest::keyClicks(ContentWidget(), "x");  // something to undo: "axc"
  cursor = ContentWidget()->textCursor();
  cursor.setPosition(0, QTextCursor::KeepAnchor);
  ContentWidget()->setTextCursor(cursor);

  hour_->SetText("12");
  content_->SetText("axc");

  EXPECT_EQ(HourWidget()->cursorPosition(), 1);
  EXPECT_EQ(ContentWidget()->textCursor().selectionStart(), 0);
  EXPECT_EQ(ContentWidget()->textCursor().selectionEnd(), 2);
  EXPECT_TRUE(ContentWidget()->document()->isUndoAvailable());

  // Another text is set as before: the cursor goes to the end of a line edit.
  hour_->SetText("13");
  EXPECT_EQ(hour_->Text(), "13");
  EXPECT_EQ(HourWidget()->cursorPosition(), 2);
}

TEST_F(QtEditBoxTest, SettingTheTextAnEditLeftChangesNothing) {
  QTest::keyClicks(HourWidget(), "123");  // cut to "12" as typed
  HourWidget()->setCursorPosition(0);
  hour_->SetText("12");
  EXPECT_EQ(hour_->Text(), "12");
  EXPECT_EQ(HourWidget()->cursorPosition(), 0);
}

// The mouse's context menu runs its command after the button's release: a
// paste from it is heard as another release once it has run, so a time
// field can put back its text as after any mouse action. The keyboard's
// menu raises nothing.
class QtEditBoxMenuTest : public QtEditBoxTest {
 protected:
  // Opens the hour field's context menu for `reason` and returns it.
  QMenu* OpenMenu(QContextMenuEvent::Reason reason) {
    QContextMenuEvent event(reason, QPoint(3, 3), HourWidget()->mapToGlobal(QPoint(3, 3)));
    QCoreApplication::sendEvent(HourWidget(), &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  static QAction* PasteAction(QMenu& menu) {
    for (QAction* action : menu.actions()) {
      if (action->objectName() == QLatin1String("edit-paste") || action->text().contains("Paste")) return action;
    }
    return nullptr;
  }
};

TEST_F(QtEditBoxMenuTest, APasteFromTheMouseMenuIsFollowedByARelease) {
  hour_->SetText("7");
  std::vector<int16_t> releases;
  std::string text_at_release;
  hour_->OnMouseUp([&](int16_t button, int16_t, float, float) {
    releases.push_back(button);
    text_at_release = hour_->Text();
    hour_->SetText("7");  // the time field's restore
  });
  QApplication::clipboard()->setText("42");
  HourWidget()->selectAll();

  QMenu* menu = OpenMenu(QContextMenuEvent::Mouse);
  ASSERT_NE(menu, nullptr);
  QAction* paste = PasteAction(*menu);
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  QCoreApplication::processEvents();

  EXPECT_EQ(releases, std::vector<int16_t>{2});
  EXPECT_EQ(text_at_release, "42");  // the handler saw what the paste left
  EXPECT_EQ(hour_->Text(), "7");
}

TEST_F(QtEditBoxMenuTest, TheKeyboardMenuRaisesNoRelease) {
  hour_->SetText("9");
  int releases = 0;
  hour_->OnMouseUp([&](int16_t, int16_t, float, float) { ++releases; });

  QMenu* menu = OpenMenu(QContextMenuEvent::Keyboard);
  ASSERT_NE(menu, nullptr);
  menu->close();
  QCoreApplication::processEvents();

  EXPECT_EQ(releases, 0);
  EXPECT_EQ(hour_->Text(), "9");
}

}  // namespace
}  // namespace agendia::platform::testing
