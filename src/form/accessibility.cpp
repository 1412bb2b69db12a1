#include "form/accessible_names.h"
#include "form/frmCalendarInfo.h"

namespace agendia {

namespace {

// How each control that takes input is named for assistive technology: by a
// text of its own in the resource texts, else by the label that describes it
// (which also becomes its label), else, for a button, by its caption.
struct Naming {
  const char* control;
  const char* label;     // the label describing it, or nullptr
  const char* name_key;  // a resource key of a name of its own, or nullptr
};
constexpr Naming kNamings[] = {
    {"tvInfo", "VXLabel1", "Agendia.frmCalendarInfo.tvInfo"},
    {"txtHour", "lblAlert", "Agendia.frmCalendarInfo.txtHour"},
    {"txtMinute", nullptr, "Agendia.frmCalendarInfo.txtMinute"},
    {"cboIntrval", nullptr, "Agendia.frmCalendarInfo.cboIntrval"},
    {"txtEndDay", "lblEndDay", nullptr},
    {"txtTitle", "lblTopic", nullptr},
    {"txtContent", "lblContent", nullptr},
    {"btnAdd", nullptr, nullptr},
    {"btnDelete", nullptr, nullptr},
    {"btnModify", nullptr, nullptr},
    {"btnSave", nullptr, nullptr},
    {"btnExit", nullptr, nullptr},
};

}  // namespace

// Runs after the caption step, so every label and button shows the current
// language. The names of their own are extras of these resource texts: a
// library that lacks them (a failed lookup, or the key given back as its own
// text) leaves the control named by its label.
void frmCalendarInfo::NameControls() {
  for (const Naming& naming : kNamings) {
    platform::Control* control = window_->FindControl(naming.control);
    if (control == nullptr) continue;
    std::string name;
    if (naming.name_key != nullptr) {
      auto own = GetString(naming.name_key);
      if (own.ok() && *own != naming.name_key) name = *own;
    }
    if (naming.label != nullptr) {
      if (auto* label = dynamic_cast<platform::Label*>(window_->FindControl(naming.label))) {
        label->SetBuddy(control);
        if (name.empty()) name = label->Caption();
      }
    } else if (auto* button = dynamic_cast<platform::CommandButton*>(control)) {
      name = button->Caption();
    }
    control->SetAccessibleName(AccessibleNameOf(name));
  }
}

}  // namespace agendia
