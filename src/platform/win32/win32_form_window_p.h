#pragma once

#include "platform/form_window.h"
#include "platform/modal_show.h"
#include "platform/win32/win32_controls_p.h"
#include "platform/win32/win32_p.h"

#include <memory>
#include <string>
#include <vector>

namespace agendia::platform::win32 {

// A window built from a FormDesign as a modeless dialog of native controls,
// shown modally by its own message loop. Created hidden; the controls exist
// (and can be filled) before the window is shown.
class Win32FormWindow final : public FormWindow {
 public:
  // Fails when the dialog or one of its controls cannot be created.
  static StatusOr<std::unique_ptr<Win32FormWindow>> Create(const FormDesign& design);
  ~Win32FormWindow() override;

  WindowHandle Handle() const override { return ToHandle(dialog_); }
  int ControlCount() const override { return static_cast<int>(controls_.size()); }
  Control* ControlAt(int index) override;
  Control* FindControl(const std::string& name) override;
  Status ShowModal(FormEvents& events) override;
  void Unload() override;
  Status BringToFront() override;
  std::string Title() const override;
  // Message boxes take the language of the Windows installation.
  void UseLanguage(const std::string& /*language*/) override {}

 private:
  Win32FormWindow() = default;
  Status Build(const FormDesign& design);
  void Destroy();
  // Lets go of the dialog and its controls without destroying them; returns
  // the dialog (null when there is none) for the caller to destroy.
  HWND Forget();
  void CentreOnScreen();
  void FocusFirstTabStop();
  // Shows the window with the other windows of the thread disabled and runs
  // its messages until it closes or the host quits.
  void RunMessageLoop();

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  Win32ControlBase* ControlWithId(int id);

  HWND dialog_ = nullptr;
  HWND hidden_owner_ = nullptr;
  std::vector<std::unique_ptr<Win32ControlBase>> controls_;
  Win32CommandButton* cancel_button_ = nullptr;
  HWND first_tab_stop_ = nullptr;
  FormEvents* events_ = nullptr;
  ModalShow show_;
  bool close_requested_ = false;
  std::string title_;
};

}  // namespace agendia::platform::win32
