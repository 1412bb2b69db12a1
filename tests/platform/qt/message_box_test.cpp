// Message boxes: title, icon by style, OK only, and modal until OK.
#include "platform/qt/qt_test_support.h"

#include "platform/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

struct Shown {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Polls for the box from the box's own modal loop, records it and presses OK.
void AnswerMessageBox(Shown* shown, QObject* guard, int attempts = 100) {
  QTimer::singleShot(20, guard, [=] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      if (box == nullptr || box->objectName() != QLatin1String("agendiaMessageBox") ||
          !box->isVisible()) {
        continue;
      }
      *shown = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
      box->button(QMessageBox::Ok)->click();
      return;
    }
    if (attempts > 0) {
      AnswerMessageBox(shown, guard, attempts - 1);
      return;
    }
    ADD_FAILURE() << "no message box named agendiaMessageBox appeared";
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(widget)) box->done(0);
    }
  });
}

struct Case {
  const char* name;
  int style;
  std::optional<std::string> caption;
  QMessageBox::Icon icon;
  const char* title;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class QtMessageBoxTest : public ::testing::TestWithParam<Case> {};

TEST_P(QtMessageBoxTest, ShowsTheTextWithTheStylesIconAndTitleUntilOkIsPressed) {
  EnsureApplication();
  const Case& c = GetParam();
  Shown shown;
  QObject guard;
  AnswerMessageBox(&shown, &guard);

  MakeQtToolkit()->MessageBox("Hour <b>25</b> is out of range", c.style, c.caption);

  EXPECT_EQ(shown.title, QString::fromUtf8(c.title));
  EXPECT_EQ(shown.text, QStringLiteral("Hour <b>25</b> is out of range"));
  EXPECT_EQ(shown.icon, c.icon);
  EXPECT_EQ(shown.buttons, QMessageBox::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, QtMessageBoxTest,
    ::testing::Values(
        Case{"OkOnlyWithoutCaption", mb::kOkOnly, std::nullopt, QMessageBox::NoIcon, "AgendiaVB"},
        Case{"Exclamation", mb::kExclamation, "日历", QMessageBox::Warning, "日历"},
        Case{"Information", mb::kInformation, "Calendar", QMessageBox::Information, "Calendar"}),
    [](const ::testing::TestParamInfo<Case>& shown) { return std::string(shown.param.name); });

}  // namespace
}  // namespace agendia::platform::testing
