#include <agendia/create_calender.h>

#include "support/memo_database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using agendia::ComPtr;
using agendia::_Calender;

ComPtr<_Calender> CreateCalendar() {
  auto calendar = agendia::CreateCalender();
  EXPECT_TRUE(calendar.ok()) << calendar.status().description();
  return calendar.ok() ? *calendar : ComPtr<_Calender>();
}

// Runs `inspect` on the calendar window once it is shown; the inspection
// decides how the window is closed.
void WhenCalendarShown(std::function<void(QWidget&)> inspect) {
  QTimer::singleShot(50, [inspect] {
    // Handed over once active: activation makes the portal its owner.
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible() || !window->isActiveWindow()) {
      WhenCalendarShown(inspect);
      return;
    }
    inspect(*window);
  });
}

struct Context {
  std::string conn, user = "demo", account = "001",
              year = "2024", day = "2024-03-01", language = "en-us";
};

agendia::Status Design(_Calender& calendar, Context c) {
  return calendar.CalenderDesign(&c.conn, &c.user, &c.account, &c.year, &c.day, &c.language);
}

class RealWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "agendia_integration_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
  }
  static inline QApplication* app_ = nullptr;

  // The user context on this test's own memo database.
  Context MakeContext() {
    Context context;
    context.conn = database.ConnectionString();
    return context;
  }
  agendia::testing::MemoDatabase database;
};

TEST_F(RealWindowTest, EnglishWindowShowsCaptionsWeekdayGroupsAndOnlyAddAndExitEnabled) {
  auto calendar = CreateCalendar();
  std::map<std::string, bool> enabled;
  std::map<std::string, QString> texts;
  QString title;
  int groups = -1;
  bool closed_by_escape = false;
  WhenCalendarShown([&](QWidget& window) {
    title = window.windowTitle();
    for (auto* button : window.findChildren<QAbstractButton*>()) {
      enabled[button->objectName().toStdString()] = button->isEnabled();
      texts[button->objectName().toStdString()] = button->text();
    }
    for (const char* name : {"wk", "lblCurrDay", "VXLabel1"}) {
      if (auto* label = window.findChild<QLabel*>(name)) texts[name] = label->text();
    }
    if (auto* tree = window.findChild<QTreeView*>("tvInfo")) groups = tree->model()->rowCount();
    if (auto* interval = window.findChild<QComboBox*>("cboIntrval")) {
      enabled["cboIntrval"] = interval->isEnabled();
    }
    QTest::keyClick(&window, Qt::Key_Escape);
    closed_by_escape = !window.isVisible();
  });
  agendia::Status status = Design(*calendar, MakeContext());
  ASSERT_TRUE(status.ok()) << status.description();
  EXPECT_TRUE(closed_by_escape);
  EXPECT_EQ(title, "Calendar Memos");
  EXPECT_EQ(texts["wk"], "Friday");
  EXPECT_EQ(texts["lblCurrDay"], "Date: 2024-03-01");
  EXPECT_EQ(texts["btnSave"], "&Save");
  EXPECT_EQ(groups, 6);
  EXPECT_TRUE(enabled["btnAdd"]);
  EXPECT_TRUE(enabled["btnExit"]);
  EXPECT_FALSE(enabled["btnDelete"]);
  EXPECT_FALSE(enabled["btnModify"]);
  EXPECT_FALSE(enabled["btnSave"]);
  EXPECT_FALSE(enabled["cboIntrval"]);
}

TEST_F(RealWindowTest, PortalIsOwnerWhileOpenAndTheCallReturnsAfterTheExitButton) {
  QWidget portal;
  auto* pane = new QWidget(&portal);
  pane->setAttribute(Qt::WA_NativeWindow);
  portal.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&portal));

  auto calendar = CreateCalendar();
  ASSERT_TRUE(calendar->put_PortHwnd(static_cast<int32_t>(pane->winId())).ok());
  ASSERT_TRUE(calendar->put_PortalEnabled(0).ok());
  bool portal_enabled_while_open = true;
  QWindow* transient_parent = nullptr;
  WhenCalendarShown([&](QWidget& window) {
    portal_enabled_while_open = portal.isEnabled();
    transient_parent = window.windowHandle()->transientParent();
    window.findChild<QAbstractButton*>("btnExit")->click();
  });
  Context context = MakeContext();
  context.language = "zh-cn";
  ASSERT_TRUE(Design(*calendar, context).ok());
  ASSERT_TRUE(calendar->put_PortalEnabled(-1).ok());
  EXPECT_FALSE(portal_enabled_while_open);
  EXPECT_EQ(transient_parent, portal.windowHandle());
  EXPECT_TRUE(portal.isEnabled());
}

TEST_F(RealWindowTest, ClosingAndOpeningAgainShowsTheNewContext) {
  auto calendar = CreateCalendar();
  QStringList headers;
  for (const char* day : {"2024-03-01", "2024-03-04"}) {
    WhenCalendarShown([&](QWidget& window) {
      headers << window.findChild<QLabel*>("lblCurrDay")->text() + " " +
                     window.findChild<QLabel*>("wk")->text();
      window.close();
    });
    Context context = MakeContext();
    context.day = day;
    ASSERT_TRUE(Design(*calendar, context).ok());
  }
  EXPECT_EQ(headers, (QStringList{"Date: 2024-03-01 Friday", "Date: 2024-03-04 Monday"}));
}

}  // namespace
