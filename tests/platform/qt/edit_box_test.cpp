// Edit boxes: key press codes and discarding, key and mouse codes, and the
// maximum length against typed and pasted text.
#include "platform/qt/qt_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
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

TEST_F(QtEditBoxTest, SetTextCutsAtTheMaximumLength) {
  hour_->SetText("123");
  content_->SetText("line one\nline two");
  EXPECT_EQ(hour_->Text(), "12");
  EXPECT_EQ(content_->Text(), "line one\nl");
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

TEST_F(QtEditBoxTest, SettingTheSameTextAfterCuttingItChangesNothing) {
  hour_->SetText("12");
  HourWidget()->setCursorPosition(0);
  hour_->SetText("123");  // cut to "12", which the box already shows
  EXPECT_EQ(hour_->Text(), "12");
  EXPECT_EQ(HourWidget()->cursorPosition(), 0);
}

}  // namespace
}  // namespace agendia::platform::testing
