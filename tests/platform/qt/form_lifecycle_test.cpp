// ShowModal: the order of the window events, the ways the window closes, and
// what is left of the window afterwards.
#include "platform/qt/qt_test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

using Log = std::vector<std::string>;

enum class CloseBy { kCloseBox, kUnload, kEscape };
void PrintTo(CloseBy how, std::ostream* os) {
  *os << (how == CloseBy::kCloseBox ? "close box" : how == CloseBy::kUnload ? "Unload" : "Escape");
}

class QtFormLifecycle : public ::testing::TestWithParam<CloseBy> {};

TEST_P(QtFormLifecycle, RaisesLoadResizeActivateThenUnloadOnceAndReturns) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  auto* exit = dynamic_cast<CommandButton*>(form->FindControl("btnExit"));
  exit->OnClick([form] { form->Unload(); });
  RecordingEvents events;
  bool was_visible = false;
  events.on_first_activate = [&] {
    QDialog* dialog = DialogOf(*form);
    was_visible = dialog->isVisible();
    switch (GetParam()) {
      case CloseBy::kCloseBox: dialog->close(); break;
      case CloseBy::kUnload: form->Unload(); break;
      case CloseBy::kEscape: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); break;
    }
  };
  QObject guard;
  CloseDialogsAfter(5000, &guard);

  const Status shown = form->ShowModal(events);

  EXPECT_TRUE(shown.ok()) << shown.description();
  EXPECT_TRUE(was_visible);
  ASSERT_GE(events.log.size(), 4u);
  EXPECT_EQ(Log(events.log.begin(), events.log.begin() + 3),
            (Log{"load", "resize", "activate"}));
  EXPECT_EQ(events.log.back(), "unload");
  EXPECT_EQ(events.Count("load"), 1);
  EXPECT_EQ(events.Count("unload"), 1);
  EXPECT_EQ(form->Handle(), 0) << "the dialog is gone once ShowModal returns";
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfClosing, QtFormLifecycle,
                         ::testing::Values(CloseBy::kCloseBox, CloseBy::kUnload,
                                           CloseBy::kEscape),
                         [](const ::testing::TestParamInfo<CloseBy>& closing) {
                           switch (closing.param) {
                             case CloseBy::kCloseBox: return "CloseBox";
                             case CloseBy::kUnload: return "Unload";
                             case CloseBy::kEscape: return "EscapeOnTheExitButton";
                           }
                           return "";
                         });

TEST(QtFormWindow, OpensCentredOnTheAvailableScreenArea) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  RecordingEvents events;
  QPoint centre;
  events.on_first_activate = [&] {
    centre = DialogOf(*form)->frameGeometry().center();
    form->Unload();
  };
  QObject guard;
  CloseDialogsAfter(5000, &guard);

  ASSERT_TRUE(form->ShowModal(events).ok());

  const QPoint screen_centre = QApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((centre - screen_centre).manhattanLength(), 2);
}

TEST(QtFormWindow, EscapeDoesNothingWithoutACancelButton) {
  FormDesign design = SampleFormDesign();
  for (ControlDesign& control : design.controls) control.cancel = false;
  auto window = BuildForm(design);
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  RecordingEvents events;
  bool open_after_escape = false;
  events.on_first_activate = [&] {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    open_after_escape = DialogOf(*form)->isVisible();
    form->Unload();
  };
  QObject guard;
  CloseDialogsAfter(5000, &guard);

  ASSERT_TRUE(form->ShowModal(events).ok());

  EXPECT_TRUE(open_after_escape);
}

TEST(QtFormWindow, EscapeReachesTheCancelButtonEvenFromAnEditBoxThatDiscardsKeys) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  dynamic_cast<EditBox*>(form->FindControl("txtHour"))->OnKeyPress([](int16_t& key) { key = 0; });
  int exits = 0;
  dynamic_cast<CommandButton*>(form->FindControl("btnExit"))->OnClick([&] {
    ++exits;
    form->Unload();
  });
  RecordingEvents events;
  events.on_first_activate = [&] {
    auto* hour = ChildOf<QLineEdit>(*form, "txtHour");
    hour->setFocus();
    QTest::keyClick(hour, Qt::Key_Escape);
  };
  QObject guard;
  CloseDialogsAfter(5000, &guard);

  ASSERT_TRUE(form->ShowModal(events).ok());

  EXPECT_EQ(exits, 1);
  EXPECT_EQ(events.Count("unload"), 1);
}

TEST(QtFormWindow, LoadFailureIsReturnedAndTheWindowIsNeverShown) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  QPointer<QDialog> dialog = DialogOf(*window);
  RecordingEvents events;
  events.load_result = Status::Error(hr::kFileNotFound, "texts missing");

  const Status result = window->ShowModal(events);

  EXPECT_EQ(result.code(), hr::kFileNotFound);
  EXPECT_EQ(result.description(), "texts missing");
  EXPECT_EQ(events.log, Log{"load"}) << "no resize, activate or unload";
  EXPECT_TRUE(dialog.isNull()) << "the window is unloaded without being shown";
  EXPECT_EQ(window->Handle(), 0);
}

TEST(QtFormWindow, UnloadDuringLoadUnloadsWithoutShowing) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  RecordingEvents events;
  events.on_load = [form] { form->Unload(); };

  ASSERT_TRUE(form->ShowModal(events).ok());

  EXPECT_EQ(events.log, (Log{"load", "unload"}));
}

TEST(QtFormWindow, ActivationIsReportedEachTimeAndBringToFrontNeedsAShownWindow) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  EXPECT_EQ(form->BringToFront().code(), hr::kUnexpected);
  QWidget other;
  RecordingEvents events;
  Status brought;
  bool other_was_active = false;
  events.on_first_activate = [&] {
    other.show();
    other.activateWindow();
    other_was_active = QTest::qWaitForWindowActive(&other);
    brought = form->BringToFront();
    EXPECT_TRUE(QTest::qWaitForWindowActive(DialogOf(*form)));
    form->Unload();
  };
  QObject guard;
  CloseDialogsAfter(5000, &guard);

  ASSERT_TRUE(form->ShowModal(events).ok());

  EXPECT_TRUE(other_was_active);
  EXPECT_TRUE(brought.ok()) << brought.description();
  EXPECT_EQ(events.Count("activate"), 2);
}

TEST(QtFormWindow, ControlsOutliveTheUnloadedWindowAndItCannotBeShownAgain) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  FormWindow* form = window.get();
  RecordingEvents events;
  events.on_first_activate = [form] { form->Unload(); };
  QObject guard;
  CloseDialogsAfter(5000, &guard);
  ASSERT_TRUE(form->ShowModal(events).ok());

  ASSERT_EQ(form->ControlCount(), 10);
  auto* combo = dynamic_cast<ComboBox*>(form->FindControl("cboIntrval"));
  ASSERT_NE(combo, nullptr);
  combo->AddItem("once");
  EXPECT_EQ(combo->ListCount(), 0);
  auto* tree = dynamic_cast<TreeView*>(form->ControlAt(0));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->AddNode(std::nullopt, std::nullopt, "k", "t").code(), hr::kUnexpected);
  EXPECT_EQ(form->FindControl("btnSave")->Font()->SetSize(9).code(), hr::kUnexpected);
  EXPECT_EQ(form->Title(), "日历信息管理");
  EXPECT_EQ(form->ShowModal(events).code(), hr::kUnexpected);
  EXPECT_EQ(events.Count("load"), 1);
}

}  // namespace
}  // namespace agendia::platform::testing
