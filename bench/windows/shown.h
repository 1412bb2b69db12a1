// The moment the benchmarks of the Windows programs measure: a window is on
// screen and painted. The program then says so on its standard output and
// waits; bench/windows-first-open.sh reads the process's CPU time and peak
// resident memory at that line and ends the process, so the window's
// teardown is in no figure.
#pragma once

#include <windows.h>

#include <cstdio>

namespace agendia::bench {

// Paints whatever of `window` (a window of this thread) is still to be
// painted, children included, and handles the messages that are waiting.
inline void PaintNow(HWND window) {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Says the window is shown, and waits to be ended.
[[noreturn]] inline void ReportShownAndWait() {
  std::printf("shown\n");
  std::fflush(stdout);
  for (;;) Sleep(INFINITE);
}

// The calendar's client area at 96 dots per inch (7,935 x 3,480 twips).
constexpr int kCalendarWidth = 529;
constexpr int kCalendarHeight = 232;

}  // namespace agendia::bench
