#include "form/layout.h"
#include "support/window_fixture.h"

#include <algorithm>

namespace agendia::testing {
namespace {

using platform::ControlKind;
using platform::ControlDesign;

const ControlDesign* Find(const platform::FormDesign& design, const std::string& name) {
  for (const ControlDesign& control : design.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

TEST(CalendarLayout, WindowIsAFixedClientAreaWithTheDesignCaption) {
  const auto& design = CalendarFormDesign();
  EXPECT_EQ(design.client_width, 7935);
  EXPECT_EQ(design.client_height, 3480);
  EXPECT_EQ(design.caption, "日历信息管理");
  EXPECT_EQ(design.controls.size(), 21u);
}

TEST(CalendarLayout, EveryControlStandsAtItsDesignedPlace) {
  struct Row {
    const char* name;
    ControlKind kind;
    int left, top, width, height, tab;
  };
  const Row rows[] = {
      {"tvInfo", ControlKind::kTreeView, 120, 360, 2055, 3015, 0},
      {"txtHour", ControlKind::kEditBox, 3000, 480, 405, 285, 1},
      {"txtMinute", ControlKind::kEditBox, 3600, 480, 375, 285, 2},
      {"cboIntrval", ControlKind::kComboBox, 4320, 480, 975, 300, 3},
      {"txtEndDay", ControlKind::kEditBox, 6600, 480, 1005, 285, 4},
      {"txtTitle", ControlKind::kEditBox, 3000, 870, 4635, 315, 5},
      {"txtContent", ControlKind::kEditBox, 3000, 1260, 4635, 1485, 6},
      {"btnAdd", ControlKind::kCommandButton, 3000, 2880, 855, 375, 7},
      {"btnDelete", ControlKind::kCommandButton, 3960, 2880, 855, 375, 8},
      {"btnModify", ControlKind::kCommandButton, 4920, 2880, 855, 375, 9},
      {"btnSave", ControlKind::kCommandButton, 5880, 2880, 855, 375, 10},
      {"btnExit", ControlKind::kCommandButton, 6840, 2880, 855, 375, 11},
      {"VXLabel1", ControlKind::kLabel, 120, 120, 2775, 255, 12},
      {"lblEndDay", ControlKind::kLabel, 5295, 525, 1200, 255, 13},
      {"lblHour", ControlKind::kLabel, 3480, 510, 105, 180, 14},
      {"lblAlert", ControlKind::kLabel, 2400, 510, 540, 195, 15},
      {"lblContent", ControlKind::kLabel, 2400, 1380, 540, 180, 16},
      {"lblTopic", ControlKind::kLabel, 2400, 960, 540, 180, 17},
      {"lblCurrDay", ControlKind::kLabel, 2400, 120, 3855, 255, 18},
      {"wk", ControlKind::kPlainLabel, 6360, 120, 1215, 255, 19},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ControlDesign* control = Find(CalendarFormDesign(), row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->kind, row.kind);
    EXPECT_EQ(control->left, row.left);
    EXPECT_EQ(control->top, row.top);
    EXPECT_EQ(control->width, row.width);
    EXPECT_EQ(control->height, row.height);
    EXPECT_EQ(control->tab_index, row.tab);
  }
  const ControlDesign* caption_bar = Find(CalendarFormDesign(), "VXFrmCaptionMgr");
  ASSERT_NE(caption_bar, nullptr);
  EXPECT_EQ(caption_bar->kind, ControlKind::kCaptionBar);
  EXPECT_FALSE(caption_bar->visible);
}

TEST(CalendarLayout, EditBoxesCarryTheirLimitsAndTheExcludedCharacters) {
  struct Row {
    const char* name;
    int max_length;
    bool multi_line;
    bool visible;
  };
  const Row rows[] = {{"txtHour", 2, false, true},    {"txtMinute", 2, false, true},
                      {"txtEndDay", 2, false, false}, {"txtTitle", 24, false, true},
                      {"txtContent", 512, true, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ControlDesign* control = Find(CalendarFormDesign(), row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->max_length, row.max_length);
    EXPECT_EQ(control->multi_line, row.multi_line);
    EXPECT_EQ(control->visible, row.visible);
    EXPECT_EQ(control->excluded_chars, "<>'\"|&,");
  }
}

TEST(CalendarLayout, OnlyTheEndDayFieldAndItsLabelAreHiddenAmongVisibleControls) {
  std::vector<std::string> hidden;
  for (const ControlDesign& control : CalendarFormDesign().controls) {
    if (!control.visible) hidden.push_back(control.name);
  }
  EXPECT_EQ(hidden, (std::vector<std::string>{"txtEndDay", "lblEndDay", "VXFrmCaptionMgr"}));
}

TEST(CalendarLayout, TabbingFromTheTreeVisitsFieldsThenButtonsSkippingTheHiddenField) {
  std::vector<const ControlDesign*> stops;
  for (const ControlDesign& control : CalendarFormDesign().controls) {
    bool focusable = control.kind != ControlKind::kLabel && control.kind != ControlKind::kPlainLabel &&
                     control.kind != ControlKind::kCaptionBar;
    if (focusable && control.visible && control.tab_index >= 0) stops.push_back(&control);
  }
  std::sort(stops.begin(), stops.end(),
            [](auto* a, auto* b) { return a->tab_index < b->tab_index; });
  std::vector<std::string> order;
  for (auto* stop : stops) order.push_back(stop->name);
  EXPECT_EQ(order, (std::vector<std::string>{"tvInfo", "txtHour", "txtMinute", "cboIntrval",
                                             "txtTitle", "txtContent", "btnAdd", "btnDelete",
                                             "btnModify", "btnSave", "btnExit"}));
}

TEST(CalendarLayout, ExitIsTheOnlyCancelButtonAndButtonsHaveTheDesignFont) {
  for (const ControlDesign& control : CalendarFormDesign().controls) {
    SCOPED_TRACE(control.name);
    EXPECT_EQ(control.cancel, control.name == "btnExit");
    if (control.kind == ControlKind::kCommandButton) {
      ASSERT_TRUE(control.font.has_value());
      EXPECT_EQ(*control.font, (platform::FontDesign{"宋体", 9, 400, 134}));
    }
  }
  EXPECT_EQ(Find(CalendarFormDesign(), "lblHour")->font->weight, 700);
  EXPECT_EQ(Find(CalendarFormDesign(), "tvInfo")->path_separator, "\\");
}

class LayoutWindowTest : public WindowFixture {};

TEST_F(LayoutWindowTest, UnknownLanguageKeepsEveryDesignFont) {
  UserContext context;
  context.language = "de-de";
  ASSERT_TRUE(Open(context, [&](platform::memory::MemoryFormWindow& w, frmCalendarInfo&) {
                for (int i = 0; i < w.ControlCount(); ++i) {
                  auto* control = dynamic_cast<platform::memory::MemoryControl*>(w.ControlAt(i));
                  ASSERT_NE(control, nullptr);
                  if (!control->Design().font) continue;
                  SCOPED_TRACE(control->Name());
                  EXPECT_EQ(control->Font()->Get(), *control->Design().font);
                }
              }).ok());
}

}  // namespace
}  // namespace agendia::testing
