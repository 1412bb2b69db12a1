// The real window as its users meet it, with the keyboard, the eyes and a
// screen reader: Enter loses nothing, the focus moves on to the next step
// and can be seen, every control has a name, a locked memo reads at full
// contrast, Qt's own texts speak the window's language, and the portal owns
// the window from the first moment.

#include <agendia/create_calender.h>

#include "integration/modal_watcher.h"
#include "support/memo_database.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

namespace {

using agendia::testing::MemoDatabase;
using agendia::testing::ModalWatcher;
using agendia::testing::ShownMessage;

std::string S(const QString& text) { return text.toStdString(); }

template <typename W>
W* Child(QWidget& window, const char* name) {
  auto* child = window.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// Contrast ratio of two colours as the WCAG defines it, from 1 to 21.
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How many pixels of `widget` change when it gets the focus.
int PixelsChangedByFocus(QWidget* widget, QWidget* elsewhere) {
  elsewhere->setFocus(Qt::OtherFocusReason);
  const QImage without = widget->grab().toImage();
  widget->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(widget->hasFocus()) << S(widget->objectName());
  const QImage with = widget->grab().toImage();
  int changed = 0;
  for (int y = 0; y < std::min(with.height(), without.height()); ++y) {
    for (int x = 0; x < std::min(with.width(), without.width()); ++x) {
      if (with.pixel(x, y) != without.pixel(x, y)) ++changed;
    }
  }
  return changed;
}

class UsableWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }

  void SetUp() override {
    agendia::testing::MemoRow memo = agendia::testing::Memo("K-STANDUP", 0);
    memo.title = "Standup";
    memo.content = "Room 2";
    database_.Insert(memo);
  }

  // Opens the window of "demo" on 2024-03-01 and runs `use` inside its modal
  // loop; the window is closed afterwards unless `use` closed it.
  void UseWindow(const std::function<void(QWidget&)>& use, std::string language = "en-us",
                 agendia::_Calender* calendar = nullptr) {
    auto created = agendia::CreateCalender();
    ASSERT_TRUE(created.ok()) << created.status().description();
    if (calendar == nullptr) calendar = created->get();
    messages_ = agendia::testing::UseCalendarWindow(*calendar, database_.ConnectionString(),
                                                    language, watcher_, use);
  }

  MemoDatabase database_;
  std::optional<ModalWatcher> watcher_;
  std::vector<ShownMessage> messages_;
};

TEST_F(UsableWindowTest, EnterLosesNothingTypedAndShowsTheMemoNodeItIsPressedOn) {
  std::vector<std::string> after_enter, after_node_enter;
  QString focus_after_add, focus_after_save;
  UseWindow([&](QWidget& w) {
    auto* hour = Child<QLineEdit>(w, "txtHour");
    auto* minute = Child<QLineEdit>(w, "txtMinute");
    auto* title = Child<QLineEdit>(w, "txtTitle");
    auto* tree = Child<QTreeView>(w, "tvInfo");
    QTest::mouseClick(Child<QAbstractButton>(w, "btnAdd"), Qt::LeftButton);
    focus_after_add = QApplication::focusWidget()->objectName();
    QTest::keyClicks(hour, "9");
    QTest::keyClick(hour, Qt::Key_Return);
    QTest::keyClicks(minute, "30");
    QTest::keyClicks(title, "Plan");
    QTest::keyClick(title, Qt::Key_Return);
    QTest::keyClick(title, Qt::Key_Enter, Qt::KeypadModifier);
    after_enter = {S(hour->text()), S(minute->text()), S(title->text()),
                   Child<QAbstractButton>(w, "btnSave")->isEnabled() ? "save" : "no save"};

    const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "Standup", 1,
                                            Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    tree->setFocus();
    tree->setCurrentIndex(found.first());  // set by code: shows nothing yet
    QTest::keyClick(tree, Qt::Key_Return);
    after_node_enter = {S(hour->text()), S(minute->text()), S(title->text())};

    QTest::mouseClick(Child<QAbstractButton>(w, "btnSave"), Qt::LeftButton);
    focus_after_save = QApplication::focusWidget()->objectName();
  });
  EXPECT_EQ(after_enter, (std::vector<std::string>{"9", "30", "Plan", "save"}));
  EXPECT_EQ(after_node_enter, (std::vector<std::string>{"9", "30", "Standup"}));
  EXPECT_EQ(S(focus_after_add), "txtHour");
  EXPECT_EQ(S(focus_after_save), "tvInfo");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(database_.Query("select * from ZA_Message").size(), 2u);
}

TEST_F(UsableWindowTest, TheFocusIsVisibleOnEveryButtonAndBothEditBoxes) {
  std::map<std::string, int> changed;
  UseWindow([&](QWidget& w) {
    QTest::mouseClick(Child<QAbstractButton>(w, "btnAdd"), Qt::LeftButton);
    QWidget* tree = Child<QWidget>(w, "tvInfo");
    for (const char* name : {"btnAdd", "btnSave", "btnExit", "txtTitle", "txtContent"}) {
      changed[name] = PixelsChangedByFocus(Child<QWidget>(w, name), tree);
    }
  });
  // At least the length of one side of the control changes.
  for (const auto& [name, pixels] : changed) EXPECT_GT(pixels, 50) << name;
}

// The accessibility tree of the open window, as a screen reader walks it.
TEST_F(UsableWindowTest, AScreenReaderHearsANameForEveryControlInEachLanguage) {
  const std::map<std::string, std::map<std::string, std::string>> expected = {
      {"en-us", {{"tvInfo", "Memo list"}, {"txtHour", "Hour"}, {"txtMinute", "Minute"},
                 {"cboIntrval", "Repeats"}, {"txtTitle", "Title"}, {"txtContent", "Text"},
                 {"btnAdd", "Add"}, {"btnExit", "Exit"}}},
      {"zh-cn", {{"tvInfo", "日历信息列表"}, {"txtHour", "小时"}, {"txtMinute", "分钟"},
                 {"cboIntrval", "重复周期"}, {"txtTitle", "标题"}, {"txtContent", "内容"},
                 {"btnAdd", "增加"}, {"btnExit", "退出"}}},
      {"zh-tw", {{"tvInfo", "日曆資訊列表"}, {"txtHour", "小時"}, {"txtMinute", "分鐘"},
                 {"cboIntrval", "重複週期"}, {"txtTitle", "標題"}, {"txtContent", "內容"},
                 {"btnAdd", "新增"}, {"btnExit", "退出"}}},
  };
  for (const auto& [language, names] : expected) {
    SCOPED_TRACE(language);
    std::map<std::string, std::string> heard;
    std::vector<std::string> unnamed, tree_cells;
    bool title_labelled = false;
    UseWindow(
        [&](QWidget& w) {
          QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&w);
          ASSERT_NE(dialog, nullptr);
          for (int i = 0; i < dialog->childCount(); ++i) {
            QAccessibleInterface* child = dialog->child(i);
            const std::string object = S(child->object()->objectName());
            const std::string name = S(child->text(QAccessible::Name));
            heard[object] = name;
            if (name.empty()) unnamed.push_back(object);
          }
          QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(Child<QWidget>(w, "tvInfo"));
          for (int i = 0; i < tree->childCount(); ++i) {
            if (tree->child(i)->role() == QAccessible::ColumnHeader) {
              tree_cells.push_back(S(tree->child(i)->text(QAccessible::Name)));
            }
          }
          QAccessibleInterface* title = QAccessible::queryAccessibleInterface(Child<QWidget>(w, "txtTitle"));
          for (const auto& [other, relation] : title->relations(QAccessible::Label)) {
            title_labelled |= other->object() == Child<QLabel>(w, "lblTopic");
          }
        },
        language);
    for (const auto& [control, name] : names) EXPECT_EQ(heard[control], name) << control;
    EXPECT_EQ(unnamed, std::vector<std::string>{}) << "unnamed controls";
    EXPECT_EQ(heard.count("txtEndDay") + heard.count("lblEndDay"), 0u) << "the hidden end day";
    for (const std::string& header : tree_cells) EXPECT_EQ(header, "") << "a header the tree does not show";
    EXPECT_TRUE(title_labelled);
  }
}

TEST_F(UsableWindowTest, AShownMemoReadsAtFullContrastAndStillRefusesInput) {
  std::map<std::string, double> contrast;
  std::string title_after_typing;
  bool title_enabled = true;
  UseWindow([&](QWidget& w) {
    auto* tree = Child<QTreeView>(w, "tvInfo");
    const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "Standup", 1,
                                            Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    tree->scrollTo(found.first());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(found.first()).center());
    for (const char* name : {"txtHour", "txtMinute", "txtTitle", "txtContent"}) {
      const QPalette& palette = Child<QWidget>(w, name)->palette();
      contrast[name] = Contrast(palette.color(QPalette::Disabled, QPalette::Text),
                                palette.color(QPalette::Disabled, QPalette::Base));
    }
    const QPalette& kind = Child<QComboBox>(w, "cboIntrval")->palette();
    contrast["cboIntrval"] = Contrast(kind.color(QPalette::Disabled, QPalette::ButtonText),
                                      kind.color(QPalette::Disabled, QPalette::Button));
    auto* title = Child<QLineEdit>(w, "txtTitle");
    title_enabled = title->isEnabled();
    QTest::keyClicks(title, "x");
    title_after_typing = S(title->text());
  });
  // 4.5:1 is the least contrast the WCAG allow for text; grey on grey gave 1.6.
  for (const auto& [name, ratio] : contrast) EXPECT_GE(ratio, 4.5) << name;
  EXPECT_FALSE(title_enabled);
  EXPECT_EQ(title_after_typing, "Standup");
}

TEST_F(UsableWindowTest, MessageBoxesUseQtsOwnTextsInTheWindowsLanguage) {
  const std::pair<const char*, const char*> cases[] = {{"zh-cn", "确定"}, {"zh-tw", "確定"}, {"en-us", "OK"}};
  for (const auto& [language, ok] : cases) {
    SCOPED_TRACE(language);
    UseWindow(
        [&](QWidget& w) {
          QTest::mouseClick(Child<QAbstractButton>(w, "btnAdd"), Qt::LeftButton);
          QTest::mouseClick(Child<QAbstractButton>(w, "btnSave"), Qt::LeftButton);  // no time
        },
        language);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].ok_text.contains(QString::fromUtf8(ok))) << S(messages_[0].ok_text);
  }
}

// The owner of the window as the window system first sees it mapped.
TEST_F(UsableWindowTest, ThePortalOwnsTheWindowWhenItIsFirstShown) {
  QWidget portal;
  auto* pane = new QWidget(&portal);
  pane->setAttribute(Qt::WA_NativeWindow);
  portal.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&portal));
  struct FirstShow : QObject {
    QWindow* owner = nullptr;
    bool seen = false;
    bool eventFilter(QObject* object, QEvent* event) override {
      auto* window = qobject_cast<QWidget*>(object);
      if (!seen && event->type() == QEvent::Show && window != nullptr && window->isWindow() &&
          window->findChild<QWidget*>("tvInfo") != nullptr) {
        seen = true;
        owner = window->windowHandle()->transientParent();
      }
      return false;
    }
  } first_show;
  qApp->installEventFilter(&first_show);
  auto calendar = agendia::CreateCalender();
  ASSERT_TRUE(calendar.ok());
  ASSERT_TRUE((*calendar)->put_PortHwnd(static_cast<int32_t>(pane->winId())).ok());
  UseWindow([](QWidget&) {}, "en-us", calendar->get());
  qApp->removeEventFilter(&first_show);
  EXPECT_TRUE(first_show.seen);
  EXPECT_EQ(first_show.owner, portal.windowHandle());
}

}  // namespace
