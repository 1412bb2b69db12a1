#include "form/layout.h"

namespace agendia {

namespace {

using platform::ControlKind;
using platform::ControlDesign;
using platform::FontDesign;

// Every edit box carries this design setting of excluded characters; the
// calendar itself filters keys on its own.
constexpr const char* kExcludedChars = "<>'\"|&,";

const FontDesign kTahoma9{"Tahoma", 9, 400, 0};

ControlDesign Make(const char* name, ControlKind kind, int left, int top, int width, int height,
                 int tab, const char* text = "", std::optional<FontDesign> font = std::nullopt) {
  ControlDesign design;
  design.name = name;
  design.kind = kind;
  design.left = left;
  design.top = top;
  design.width = width;
  design.height = height;
  design.tab_index = tab;
  design.design_text = text;
  design.font = std::move(font);
  return design;
}
const FontDesign kSongti9{"宋体", 9, 400, 134};

ControlDesign Edit(const char* name, int left, int top, int width, int height, int tab,
                 int max_length, bool multi_line = false, bool visible = true) {
  ControlDesign design = Make(name, ControlKind::kEditBox, left, top, width, height, tab);
  design.max_length = max_length;
  design.multi_line = multi_line;
  design.visible = visible;
  design.excluded_chars = kExcludedChars;
  return design;
}

ControlDesign Button(const char* name, int left, int tab, const char* text, bool cancel = false) {
  ControlDesign design = Make(name, ControlKind::kCommandButton, left, 2880, 855, 375, tab, text, kSongti9);
  design.cancel = cancel;
  return design;
}

ControlDesign Label(const char* name, int left, int top, int width, int height, int tab,
                  const char* text, std::optional<FontDesign> font = std::nullopt,
                  bool visible = true) {
  ControlDesign design = Make(name, ControlKind::kLabel, left, top, width, height, tab, text, font);
  design.visible = visible;
  return design;
}

platform::FormDesign BuildDesign() {
  platform::FormDesign form;
  form.caption = "日历信息管理";
  form.client_width = 7935;
  form.client_height = 3480;

  ControlDesign tree = Make("tvInfo", ControlKind::kTreeView, 120, 360, 2055, 3015, 0, "", kTahoma9);
  tree.path_separator = "\\";
  ControlDesign interval = Make("cboIntrval", ControlKind::kComboBox, 4320, 480, 975, 300, 3);
  ControlDesign weekday = Make("wk", ControlKind::kPlainLabel, 6360, 120, 1215, 255, 19);
  ControlDesign caption_bar = Make("VXFrmCaptionMgr", ControlKind::kCaptionBar, 0, 0, 0, 0, -1, "",
                                 FontDesign{"宋体", 8.25, 400, 134});
  caption_bar.visible = false;

  form.controls = {
      tree,
      Edit("txtHour", 3000, 480, 405, 285, 1, 2),
      Edit("txtMinute", 3600, 480, 375, 285, 2, 2),
      interval,
      Edit("txtEndDay", 6600, 480, 1005, 285, 4, 2, false, /*visible=*/false),
      Edit("txtTitle", 3000, 870, 4635, 315, 5, 24),
      Edit("txtContent", 3000, 1260, 4635, 1485, 6, 512, /*multi_line=*/true),
      Button("btnAdd", 3000, 7, "增加"),
      Button("btnDelete", 3960, 8, "删除(&D)"),
      Button("btnModify", 4920, 9, "修改"),
      Button("btnSave", 5880, 10, "保存(&S)"),
      Button("btnExit", 6840, 11, "退出", /*cancel=*/true),
      Label("VXLabel1", 120, 120, 2775, 255, 12, "日历信息列表", kTahoma9),
      Label("lblEndDay", 5295, 525, 1200, 255, 13, "截止日期：", std::nullopt, /*visible=*/false),
      Label("lblHour", 3480, 510, 105, 180, 14, ":", FontDesign{"宋体", 9, 700, 134}),
      Label("lblAlert", 2400, 510, 540, 195, 15, "提醒：", FontDesign{"MS Sans Serif", 8.25, 400, 0}),
      Label("lblContent", 2400, 1380, 540, 180, 16, "内容："),
      Label("lblTopic", 2400, 960, 540, 180, 17, "标题：", FontDesign{"宋体", 9, 400, 0}),
      Label("lblCurrDay", 2400, 120, 3855, 255, 18, "提示日期：", kTahoma9),
      weekday,
      caption_bar,
  };
  return form;
}

}  // namespace

const platform::FormDesign& CalendarFormDesign() {
  static const platform::FormDesign design = BuildDesign();
  return design;
}

}  // namespace agendia
