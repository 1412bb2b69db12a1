#include "platform/qt/qt_test_support.h"

#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace agendia::platform::testing {

void EnsureApplication() {
  static UiRuntimeLease* lease = [] {
    auto acquired = MakeQtToolkit()->AcquireRuntime();
    if (!acquired.ok()) {
      ADD_FAILURE() << acquired.status().description();
      return static_cast<UiRuntimeLease*>(nullptr);
    }
    return std::move(acquired).value().release();
  }();
  ASSERT_NE(lease, nullptr);
}

namespace {

ControlDesign Place(const char* name, ControlKind kind, int left, int top, int width, int height,
                  int tab_index) {
  ControlDesign control;
  control.name = name;
  control.kind = kind;
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
  control.tab_index = tab_index;
  return control;
}

}  // namespace

FormDesign SampleFormDesign() {
  const FontDesign song{"宋体", 9, 400, 134};
  FormDesign design;
  design.caption = "日历信息管理";
  design.client_width = 7935;
  design.client_height = 3480;
  std::vector<ControlDesign>& c = design.controls;

  c.push_back(Place("tvInfo", ControlKind::kTreeView, 120, 360, 2055, 3015, 0));
  c.back().font = FontDesign{"Tahoma", 9, 400, 0};
  c.push_back(Place("txtHour", ControlKind::kEditBox, 3000, 480, 405, 285, 1));
  c.back().max_length = 2;
  c.push_back(Place("cboIntrval", ControlKind::kComboBox, 4320, 480, 975, 300, 3));
  c.push_back(Place("txtEndDay", ControlKind::kEditBox, 6600, 480, 1005, 285, 4));
  c.back().max_length = 2;
  c.back().visible = false;
  c.push_back(Place("txtContent", ControlKind::kEditBox, 3000, 1260, 4635, 1485, 2));
  c.back().max_length = 10;
  c.back().multi_line = true;
  c.push_back(Place("btnSave", ControlKind::kCommandButton, 5880, 2880, 855, 375, 5));
  c.back().design_text = "保存(&S)";
  c.back().font = song;
  c.push_back(Place("btnExit", ControlKind::kCommandButton, 6840, 2880, 855, 375, 6));
  c.back().design_text = "退出";
  c.back().font = song;
  c.back().cancel = true;
  c.push_back(Place("lblHour", ControlKind::kLabel, 3480, 510, 105, 180, 7));
  c.back().design_text = ":";
  c.back().font = FontDesign{"宋体", 9, 700, 134};
  c.push_back(Place("lblEndDay", ControlKind::kLabel, 5295, 525, 1200, 255, 8));
  c.back().design_text = "截止日期：";
  c.back().visible = false;
  c.push_back(Place("VXFrmCaptionMgr", ControlKind::kCaptionBar, 0, 0, 0, 0, -1));
  c.back().font = FontDesign{"宋体", 8.25, 400, 134};
  return design;
}

std::unique_ptr<FormWindow> BuildForm(const FormDesign& design) {
  EnsureApplication();
  auto built = MakeQtToolkit()->CreateForm(design);
  EXPECT_TRUE(built.ok()) << built.status().description();
  return built.ok() ? std::move(built).value() : nullptr;
}

QDialog* DialogOf(const FormWindow& window) {
  const WindowHandle handle = window.Handle();
  if (handle == 0) return nullptr;
  return qobject_cast<QDialog*>(QWidget::find(static_cast<WId>(static_cast<uint32_t>(handle))));
}

Status RecordingEvents::Form_Load() {
  log.push_back("load");
  if (on_load) on_load();
  return load_result;
}

void RecordingEvents::Form_Resize() { log.push_back("resize"); }

void RecordingEvents::Form_Activate() {
  log.push_back("activate");
  if (on_first_activate) {
    auto action = std::move(on_first_activate);
    on_first_activate = nullptr;
    // Run from the loop, not from inside the activation event.
    QTimer::singleShot(0, action);
  }
}

void RecordingEvents::Form_Unload() { log.push_back("unload"); }

int RecordingEvents::Count(const std::string& name) const {
  return static_cast<int>(std::count(log.begin(), log.end(), name));
}

void CloseDialogsAfter(int ms, QObject* guard) {
  QTimer::singleShot(ms, guard, [] {
    ADD_FAILURE() << "a dialog was still open; closed by the watchdog";
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
        dialog->close();
      }
    }
  });
}

}  // namespace agendia::platform::testing
