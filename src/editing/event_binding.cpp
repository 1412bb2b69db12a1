#include "form/frmCalendarInfo.h"

namespace agendia {

// Every handler runs guarded: whatever fails inside it is shown to the user
// and never reaches the toolkit's event loop or the host.
void frmCalendarInfo::BindEditingEvents() {
  auto unfailing = [this](const char* name, std::function<void()> handler) {
    return [this, name, handler = std::move(handler)] {
      RunHandler(name, [&] {
        handler();
        return Status::Ok();
      });
    };
  };
  btnAdd->OnClick(unfailing("btnAdd_Click", [this] { btnAdd_Click(); }));
  btnModify->OnClick(unfailing("btnModify_Click", [this] { btnModify_Click(); }));
  btnSave->OnClick([this] { RunHandler("btnSave_Click", [this] { return btnSave_Click(); }); });
  btnDelete->OnClick([this] { RunHandler("btnDelete_Click", [this] { return btnDelete_Click(); }); });

  auto key_press = [this](const char* name, void (frmCalendarInfo::*handler)(int16_t&)) {
    return [this, name, handler](int16_t& KeyAscii) {
      RunHandler(name, [&] {
        (this->*handler)(KeyAscii);
        return Status::Ok();
      });
    };
  };
  txtTitle->OnKeyPress(key_press("txtTitle_KeyPress", &frmCalendarInfo::txtTitle_KeyPress));
  txtContent->OnKeyPress(key_press("txtContent_KeyPress", &frmCalendarInfo::txtContent_KeyPress));
  txtHour->OnKeyPress(key_press("txtHour_KeyPress", &frmCalendarInfo::txtHour_KeyPress));
  txtMinute->OnKeyPress(key_press("txtMinute_KeyPress", &frmCalendarInfo::txtMinute_KeyPress));

  auto key_up = [this](const char* name, void (frmCalendarInfo::*handler)(int16_t, int16_t)) {
    return [this, name, handler](int16_t KeyCode, int16_t Shift) {
      RunHandler(name, [&] {
        (this->*handler)(KeyCode, Shift);
        return Status::Ok();
      });
    };
  };
  txtHour->OnKeyUp(key_up("txtHour_KeyUp", &frmCalendarInfo::txtHour_KeyUp));
  txtMinute->OnKeyUp(key_up("txtMinute_KeyUp", &frmCalendarInfo::txtMinute_KeyUp));

  using MouseMember = void (frmCalendarInfo::*)(int16_t, int16_t, float, float);
  auto mouse = [this](const char* name, MouseMember handler) {
    return [this, name, handler](int16_t Button, int16_t Shift, float X, float Y) {
      RunHandler(name, [&] {
        (this->*handler)(Button, Shift, X, Y);
        return Status::Ok();
      });
    };
  };
  txtHour->OnMouseDown(mouse("txtHour_MouseDown", &frmCalendarInfo::txtHour_MouseDown));
  txtHour->OnMouseUp(mouse("txtHour_MouseUp", &frmCalendarInfo::txtHour_MouseUp));
  txtMinute->OnMouseDown(mouse("txtMinute_MouseDown", &frmCalendarInfo::txtMinute_MouseDown));
  txtMinute->OnMouseUp(mouse("txtMinute_MouseUp", &frmCalendarInfo::txtMinute_MouseUp));
}

}  // namespace agendia
