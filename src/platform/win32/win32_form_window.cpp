#include "platform/win32/win32_form_window_p.h"

#include "platform/control_list.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <utility>

namespace agendia::platform::win32 {
namespace {

constexpr int kFirstControlId = 100;

// A dialog template with no controls and no font of its own: the controls
// are created afterwards, at pixel positions, each with its own font.
struct EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

// The other top-level windows of this thread that a modal window disables
// while it is open, and enables again when it closes.
class DisabledThreadWindows {
 public:
  explicit DisabledThreadWindows(HWND modal) : modal_(modal) {
    EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(this));
  }
  ~DisabledThreadWindows() {
    for (HWND window : disabled_) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
  }
  DisabledThreadWindows(const DisabledThreadWindows&) = delete;
  DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

 private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM self_pointer) {
    auto* self = reinterpret_cast<DisabledThreadWindows*>(self_pointer);
    if (window != self->modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      self->disabled_.push_back(window);
    }
    return TRUE;
  }
  HWND modal_;
  std::vector<HWND> disabled_;
};

// A plain character typed while a control that takes no characters has the
// focus (a push button): the dialog would take it for a mnemonic and press a
// button. Mnemonics need Alt (WM_SYSCHAR), as in the Qt window; Enter and
// Space still press the focused button, through their key messages.
bool IsCharacterForNoMnemonic(HWND dialog, MSG& message) {
  if (message.message != WM_CHAR || message.hwnd == nullptr || !IsChild(dialog, message.hwnd)) return false;
  const LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                     reinterpret_cast<LPARAM>(&message));
  return (wants & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0;
}

}  // namespace

StatusOr<std::unique_ptr<Win32FormWindow>> Win32FormWindow::Create(const FormDesign& design) {
  std::unique_ptr<Win32FormWindow> window(new Win32FormWindow());
  Status built = window->Build(design);
  if (!built.ok()) return built;
  return window;
}

Win32FormWindow::~Win32FormWindow() {
  Destroy();
  if (hidden_owner_) DestroyWindow(hidden_owner_);
}

Status Win32FormWindow::Build(const FormDesign& design) {
  EmptyDialogTemplate blank{};
  blank.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
  blank.header.dwExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  // Until a portal window owns it, a hidden window does: an owned window
  // gets no task-bar button, and a script host may give no portal.
  hidden_owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, ThisModule(), nullptr);
  dialog_ = CreateDialogIndirectParamW(ThisModule(), &blank.header, hidden_owner_, &DialogProc,
                                       reinterpret_cast<LPARAM>(this));
  if (dialog_ && hidden_owner_) SetPropW(dialog_, kHiddenOwnerProperty, hidden_owner_);
  if (dialog_ == nullptr) {
    return Status::Error(hr::kUnexpected,
                         "The window cannot be created (error " + std::to_string(GetLastError()) + ")");
  }
  title_ = design.caption;
  SetWindowTextW(dialog_, Widen(design.caption).c_str());

  const Dpi dpi = ScreenDpi();
  RECT frame{0, 0, TwipsToPixels(design.client_width, dpi.x), TwipsToPixels(design.client_height, dpi.y)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
  SetWindowPos(dialog_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  std::vector<std::pair<int, HWND>> tab_stops;
  for (size_t i = 0; i < design.controls.size(); ++i) {
    const ControlDesign& control = design.controls[i];
    auto adapter = MakeWin32Control(control, dialog_, kFirstControlId + static_cast<int>(i), dpi);
    if (!adapter) {
      return Status::Error(hr::kUnexpected, "The control " + control.name + " cannot be created (error " +
                                                std::to_string(GetLastError()) + ")");
    }
    if (control.cancel) cancel_button_ = dynamic_cast<Win32CommandButton*>(adapter.get());
    if (adapter->window() && control.tab_index >= 0) tab_stops.emplace_back(control.tab_index, adapter->window());
    controls_.push_back(std::move(adapter));
  }
  // The dialog's tab order is the order of its children: put them in the
  // order of their tab indexes. Controls without one stay behind.
  std::stable_sort(tab_stops.begin(), tab_stops.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  HWND previous = HWND_TOP;
  for (const auto& [index, child] : tab_stops) {
    SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = child;
  }
  if (!tab_stops.empty()) first_tab_stop_ = tab_stops.front().second;
  return Status::Ok();
}

void Win32FormWindow::Destroy() {
  if (HWND dialog = Forget()) DestroyWindow(dialog);
  // After the dialog: the hidden window may still own it.
  if (hidden_owner_) DestroyWindow(std::exchange(hidden_owner_, nullptr));
}

HWND Win32FormWindow::Forget() {
  if (!dialog_) return nullptr;
  title_ = Title();
  for (auto& control : controls_) control->Detach();
  HWND dialog = std::exchange(dialog_, nullptr);
  SetWindowLongPtrW(dialog, DWLP_USER, 0);
  RemovePropW(dialog, kHiddenOwnerProperty);
  return dialog;
}

Control* Win32FormWindow::ControlAt(int index) {
  return ControlAtIndex(controls_, index);
}

Control* Win32FormWindow::FindControl(const std::string& name) {
  return ControlNamed(controls_, name);
}

Win32ControlBase* Win32FormWindow::ControlWithId(int id) {
  const int index = id - kFirstControlId;
  if (index < 0 || index >= ControlCount()) return nullptr;
  return controls_[static_cast<size_t>(index)].get();
}

void Win32FormWindow::CentreOnScreen() {
  RECT frame{};
  GetWindowRect(dialog_, &frame);
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int width = static_cast<int>(frame.right - frame.left);
  const int height = static_cast<int>(frame.bottom - frame.top);
  const int left = static_cast<int>(work.left) + std::max(0, static_cast<int>(work.right - work.left - width) / 2);
  const int top = static_cast<int>(work.top) + std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
  SetWindowPos(dialog_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::FocusFirstTabStop() {
  HWND focus = first_tab_stop_;
  if (focus && !(IsWindowEnabled(focus) && IsWindowVisible(focus))) {
    focus = GetNextDlgTabItem(dialog_, focus, FALSE);
  }
  if (focus) SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

Status Win32FormWindow::ShowModal(FormEvents& events) {
  const auto run_loop = [this, &events] {
    events_ = &events;
    RunMessageLoop();
    events_ = nullptr;
  };
  return show_.Run(dialog_ != nullptr, events, run_loop, [this] { Destroy(); });
}

void Win32FormWindow::RunMessageLoop() {
  // Enabled again when this returns, before the window goes, so that the
  // system activates the owner rather than some other application's window.
  DisabledThreadWindows disabled(dialog_);
  CentreOnScreen();
  ShowWindow(dialog_, SW_SHOW);
  SetForegroundWindow(dialog_);
  FocusFirstTabStop();

  MSG message{};
  while (!close_requested_ && dialog_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The host is quitting: leave the window and pass the request on.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (IsCharacterForNoMnemonic(dialog_, message) || !IsDialogMessageW(dialog_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void Win32FormWindow::Unload() {
  if (!dialog_ || !show_.InModal() || close_requested_) return;
  close_requested_ = true;
  PostMessageW(dialog_, WM_NULL, 0, 0);  // wakes the loop
}

Status Win32FormWindow::BringToFront() {
  if (!dialog_ || !IsWindowVisible(dialog_)) {
    return Status::Error(hr::kUnexpected, "The window is not shown");
  }
  SetForegroundWindow(dialog_);
  SetActiveWindow(dialog_);
  return Status::Ok();
}

std::string Win32FormWindow::Title() const {
  if (!dialog_) return title_;
  const int length = GetWindowTextLengthW(dialog_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(dialog_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

INT_PTR CALLBACK Win32FormWindow::DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    return FALSE;  // the focus is set when the window is shown
  }
  auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr || self->dialog_ != dialog) return FALSE;
  return self->HandleMessage(message, wparam, lparam);
}

INT_PTR Win32FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDCANCEL) {
        // Escape: the cancel button's click, as if it had been pressed.
        if (cancel_button_) cancel_button_->Click();
        return TRUE;
      }
      if (id == IDOK) {
        // Enter presses no button of its own; the control with the focus
        // may still take it (the tree shows its selected node again).
        if (HWND focus = GetFocus(); focus && GetParent(focus) == dialog_) {
          if (Win32ControlBase* control = ControlWithId(GetDlgCtrlID(focus))) control->OnEnter();
        }
        return TRUE;
      }
      if (Win32ControlBase* control = ControlWithId(id)) control->OnCommand(HIWORD(wparam));
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (Win32ControlBase* control = ControlWithId(static_cast<int>(header->idFrom))) {
        // A result of 0 is what the dialog's default gives. Setting it would
        // cost a trip to the window manager's server under Wine on every
        // notice, and the tree sends one for every text it shows.
        const LRESULT result = control->OnNotify(*header);
        if (result == 0) return FALSE;
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
    }
    case kPostedToControl: {
      if (Win32ControlBase* control = ControlWithId(static_cast<int>(wparam))) control->OnPosted(lparam);
      return TRUE;
    }
    case WM_CLOSE:
      Unload();
      return TRUE;
    case WM_DESTROY:
      // Destroyed by someone else: the system destroys the windows a window
      // owns with it, so a host that closes its portal window takes this one
      // along. The show ends as a close ends it, and the loop, which may be
      // waiting for a message, is woken by one for the thread.
      Forget();
      close_requested_ = true;
      PostMessageW(nullptr, WM_NULL, 0, 0);
      return FALSE;
    case WM_SHOWWINDOW:
      if (wparam && events_) events_->Form_Resize();
      return FALSE;
    case WM_SIZE:
      if (events_ && IsWindowVisible(dialog_) && wparam == SIZE_RESTORED) events_->Form_Resize();
      return FALSE;
    case WM_ACTIVATE:
      if (events_ && LOWORD(wparam) != WA_INACTIVE) events_->Form_Activate();
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace agendia::platform::win32
