// The dialog a FormDesign builds: frame, geometry, fonts, tab order, visibility.
#include "platform/qt/qt_test_support.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace agendia::platform::testing {
namespace {

int Pixels(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440)); }

TEST(QtFormLayout, PlacesEveryControlInPixelsFromTwipsAtTheLogicalDpi) {
  const FormDesign design = SampleFormDesign();
  auto window = BuildForm(design);
  ASSERT_TRUE(window);
  QDialog* dialog = DialogOf(*window);
  ASSERT_NE(dialog, nullptr);
  const double dpi_x = dialog->screen()->logicalDotsPerInchX();
  const double dpi_y = dialog->screen()->logicalDotsPerInchY();

  EXPECT_EQ(dialog->size(), QSize(Pixels(7935, dpi_x), Pixels(3480, dpi_y)));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "the frame is not resizable";
  for (const ControlDesign& control : design.controls) {
    if (control.kind == ControlKind::kCaptionBar) continue;
    SCOPED_TRACE(control.name);
    auto* widget = ChildOf<QWidget>(*window, control.name);
    ASSERT_NE(widget, nullptr);
    const QRect designed(Pixels(control.left, dpi_x), Pixels(control.top, dpi_y),
                         Pixels(control.width, dpi_x), Pixels(control.height, dpi_y));
    if (control.kind == ControlKind::kLabel) {
      // A label grows downwards when its text in its font needs more height.
      EXPECT_EQ(widget->geometry().topLeft(), designed.topLeft());
      EXPECT_EQ(widget->width(), designed.width());
      EXPECT_GE(widget->height(), designed.height());
    } else {
      EXPECT_EQ(widget->geometry(), designed);
    }
  }
}

TEST(QtFormLayout, HasNoMinimiseOrMaximiseButtonAndStartsWithItsOwnCaption) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  QDialog* dialog = DialogOf(*window);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_EQ(window->Title(), "日历信息管理");
}

TEST(QtFormLayout, CaptionBarSetsTheWindowTitleAndKeepsItsDesignFont) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  auto* bar = dynamic_cast<CaptionBar*>(window->FindControl("VXFrmCaptionMgr"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(ChildOf<QWidget>(*window, "VXFrmCaptionMgr"), nullptr) << "it has no widget";

  bar->SetCaption("Calendar");

  EXPECT_EQ(window->Title(), "Calendar");
  EXPECT_EQ(DialogOf(*window)->windowTitle(), QStringLiteral("Calendar"));
  EXPECT_EQ(bar->Font()->Get(), (FontDesign{"宋体", 8.25, 400, 134}));
}

TEST(QtFormLayout, AppliesTheDesignFontsAndKeepsTheDefaultFontElsewhere) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  auto* colon = ChildOf<QLabel>(*window, "lblHour");
  ASSERT_NE(colon, nullptr);
  EXPECT_EQ(colon->font().family(), QStringLiteral("宋体"));
  EXPECT_DOUBLE_EQ(colon->font().pointSizeF(), 9.0);
  EXPECT_EQ(colon->font().weight(), QFont::Bold);
  EXPECT_EQ(window->FindControl("lblHour")->Font()->Get(), (FontDesign{"宋体", 9, 700, 134}));
  EXPECT_EQ(ChildOf<QWidget>(*window, "tvInfo")->font().family(), QStringLiteral("Tahoma"));

  auto* hour = ChildOf<QWidget>(*window, "txtHour");
  EXPECT_EQ(hour->font(), QApplication::font(hour));
  const FontDesign plain = window->FindControl("txtHour")->Font()->Get();
  EXPECT_EQ(plain.name, hour->font().family().toStdString());
  EXPECT_DOUBLE_EQ(plain.size, hour->font().pointSizeF());
  EXPECT_EQ(plain.charset, 0);
}

TEST(QtFormLayout, FontSettersApplyOnePropertyAtATimeAndRejectBadValues) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  ControlFont* font = window->FindControl("btnSave")->Font();
  ASSERT_NE(font, nullptr);

  ASSERT_TRUE(font->SetName("Tahoma").ok());
  ASSERT_TRUE(font->SetSize(8).ok());
  ASSERT_TRUE(font->SetCharset(0).ok());
  EXPECT_EQ(font->SetSize(0).code(), hr::kInvalidArg);
  EXPECT_EQ(font->SetName("").code(), hr::kInvalidArg);

  EXPECT_EQ(font->Get(), (FontDesign{"Tahoma", 8, 400, 0}));
  const QFont applied = ChildOf<QWidget>(*window, "btnSave")->font();
  EXPECT_EQ(applied.family(), QStringLiteral("Tahoma"));
  EXPECT_DOUBLE_EQ(applied.pointSizeF(), 8.0);
}

TEST(QtFormLayout, HidesTheControlsDesignedInvisible) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  QDialog* dialog = DialogOf(*window);
  for (const char* name : {"txtEndDay", "lblEndDay"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ChildOf<QWidget>(*window, name)->isVisibleTo(dialog));
  }
  EXPECT_TRUE(ChildOf<QWidget>(*window, "txtHour")->isVisibleTo(dialog));
}

TEST(QtFormLayout, TabGoesThroughTheControlsByTabIndexSkippingHiddenOnes) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  QDialog* dialog = DialogOf(*window);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  ChildOf<QWidget>(*window, "tvInfo")->setFocus(Qt::TabFocusReason);

  std::vector<std::string> visited;
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget()->objectName().toStdString());
  }

  EXPECT_EQ(visited, (std::vector<std::string>{"txtHour", "txtContent", "cboIntrval", "btnSave",
                                               "btnExit", "tvInfo"}));
}

TEST(QtFormLayout, ButtonsKeepTheirMnemonicsAndLabelsShowPlainText) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  auto* save = dynamic_cast<CommandButton*>(window->FindControl("btnSave"));
  ASSERT_NE(save, nullptr);
  int clicks = 0;
  save->OnClick([&clicks] { ++clicks; });
  auto* label = dynamic_cast<Label*>(window->FindControl("lblEndDay"));
  ASSERT_NE(label, nullptr);
  label->SetCaption("<b>A&B</b>");
  QDialog* dialog = DialogOf(*window);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));

  QTest::keyClick(dialog, Qt::Key_S, Qt::AltModifier);

  EXPECT_TRUE(QTest::qWaitFor([&clicks] { return clicks > 0; }, 2000));  // an animated click
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(save->Caption(), "保存(&S)");
  EXPECT_EQ(ChildOf<QLabel>(*window, "lblEndDay")->textFormat(), Qt::PlainText);
  EXPECT_EQ(label->Caption(), "<b>A&B</b>");
}

// A label is measured once it is on screen, in the font it has then: a
// caption and a larger font given while the window is hidden still make it
// grow to its wrapped text when the window is shown.
TEST(QtFormLayout, AHiddenLabelFitsItsTextInItsLastFontWhenShown) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  auto* topic = dynamic_cast<Label*>(window->FindControl("lblHour"));
  ASSERT_NE(topic, nullptr);
  auto* label = ChildOf<QLabel>(*window, "lblHour");
  const int design_height = label->height();
  topic->SetCaption("A title that wraps onto several lines");
  ASSERT_TRUE(topic->Font()->SetSize(14).ok());

  QDialog* dialog = DialogOf(*window);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));

  const QFontMetrics metrics(label->font());
  EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 14.0);
  const int needed = metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap,
                                          label->text()).height();
  EXPECT_GT(needed, design_height);
  EXPECT_GE(label->height(), needed);
}

}  // namespace
}  // namespace agendia::platform::testing
