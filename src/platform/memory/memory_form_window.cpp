#include "platform/memory/memory_platform.h"

#include "platform/control_list.h"

namespace agendia::platform::memory {

MemoryFormWindow::MemoryFormWindow(const FormDesign& design, MemoryToolkit& toolkit)
    : design_(design), toolkit_(toolkit), title_(design.caption) {
  for (const ControlDesign& control : design.controls) {
    switch (control.kind) {
      case ControlKind::kTreeView:
        controls_.push_back(std::make_unique<MemoryTree>(control));
        break;
      case ControlKind::kEditBox:
        controls_.push_back(std::make_unique<MemoryEdit>(control));
        break;
      case ControlKind::kComboBox:
        controls_.push_back(std::make_unique<MemoryCombo>(control));
        break;
      case ControlKind::kCommandButton:
        controls_.push_back(std::make_unique<MemoryButton>(control));
        break;
      case ControlKind::kLabel:
      case ControlKind::kPlainLabel:
        controls_.push_back(std::make_unique<MemoryLabel>(control));
        break;
      case ControlKind::kCaptionBar:
        controls_.push_back(std::make_unique<MemoryCaptionBar>(control, &title_));
        break;
    }
    controls_.back()->AttachFocus(&focus_);
  }
}

MemoryFormWindow::~MemoryFormWindow() {
  if (toolkit_.last_form == this) toolkit_.last_form = nullptr;
  if (handle_ != 0) toolkit_.window_system->DestroyWindow(handle_);
}

Control* MemoryFormWindow::ControlAt(int index) {
  return ControlAtIndex(controls_, index);
}

Control* MemoryFormWindow::FindControl(const std::string& name) {
  return ControlNamed(controls_, name);
}

MemoryButton* MemoryFormWindow::Button(const std::string& name) {
  return dynamic_cast<MemoryButton*>(FindControl(name));
}
MemoryEdit* MemoryFormWindow::Edit(const std::string& name) {
  return dynamic_cast<MemoryEdit*>(FindControl(name));
}
MemoryCombo* MemoryFormWindow::Combo(const std::string& name) {
  return dynamic_cast<MemoryCombo*>(FindControl(name));
}
MemoryTree* MemoryFormWindow::Tree(const std::string& name) {
  return dynamic_cast<MemoryTree*>(FindControl(name));
}
MemoryLabel* MemoryFormWindow::LabelNamed(const std::string& name) {
  return dynamic_cast<MemoryLabel*>(FindControl(name));
}

Status MemoryFormWindow::ShowModal(FormEvents& sink) {
  if (shown_ || events_sink_ != nullptr) {
    return Status::Error(hr::kUnexpected, "The window is already shown");
  }
  events_sink_ = &sink;
  handle_ = toolkit_.window_system->CreateWindow(0);
  events.push_back("load");
  Status loaded = sink.Form_Load();
  if (!loaded.ok()) {
    toolkit_.window_system->DestroyWindow(handle_);
    handle_ = 0;
    events_sink_ = nullptr;
    return loaded;
  }
  shown_ = true;
  Resize();
  if (activate_when_shown) Activate();
  if (toolkit_.while_shown) toolkit_.while_shown(*this);
  Unload();
  events_sink_ = nullptr;
  return Status::Ok();
}

void MemoryFormWindow::Unload() {
  if (!shown_) return;
  shown_ = false;
  this->events.push_back("unload");
  events_sink_->Form_Unload();
  toolkit_.window_system->DestroyWindow(handle_);
  handle_ = 0;
}

Status MemoryFormWindow::BringToFront() {
  if (!shown_) return Status::Error(hr::kUnexpected, "The window is not shown");
  ++bring_to_front_calls;
  return Status::Ok();
}

void MemoryFormWindow::Resize() {
  if (!shown_) return;
  this->events.push_back("resize");
  events_sink_->Form_Resize();
}

void MemoryFormWindow::Activate() {
  if (!shown_) return;
  this->events.push_back("activate");
  events_sink_->Form_Activate();
}

void MemoryFormWindow::PressEscape() {
  for (auto& control : controls_) {
    if (control->Design().cancel) {
      if (auto* button = dynamic_cast<MemoryButton*>(control.get())) button->Click();
      return;
    }
  }
}

}  // namespace agendia::platform::memory
