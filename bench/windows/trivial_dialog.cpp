// The floor of a Windows program's first window: an empty dialog of the
// calendar's size, shown and painted (shown.h).
//
//   agendia_bench_trivial_dialog

#include "shown.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

int wmain() {
  // An empty template: no controls, no font of its own.
  struct {
    DLGTEMPLATE header;
    WORD menu = 0, window_class = 0, title = 0;
  } blank{};
  blank.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &blank.header, nullptr, &EmptyDialog, 0);
  if (dialog == nullptr) return 1;
  SetWindowTextW(dialog, L"Trivial dialog");
  RECT frame{0, 0, agendia::bench::kCalendarWidth, agendia::bench::kCalendarHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(dialog, SW_SHOW);
  agendia::bench::PaintNow(dialog);
  agendia::bench::ReportShownAndWait();
}
