// The calendar's first open as a host makes it: creates Calender from the
// registered Agendia.dll and calls CalenderDesign for the user "demo" on
// 2024-03-01 in English. A second thread waits for the calendar window, has
// it painted (the modal loop handles the paint sent to it) and reports it
// shown (shown.h).
//
//   agendia_bench_first_open CONNECTION_STRING

#include "shown.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include "AgendiaVB.h"

#include <thread>

namespace {

struct Search {
  DWORD thread;
  HWND found = nullptr;
};

BOOL CALLBACK CalendarWindow(HWND window, LPARAM search_pointer) {
  auto* search = reinterpret_cast<Search*>(search_pointer);
  wchar_t kind[16] = {};
  GetClassNameW(window, kind, 16);
  if (GetWindowThreadProcessId(window, nullptr) != search->thread || !IsWindowVisible(window) ||
      lstrcmpW(kind, L"#32770") != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

void WaitForCalendar(DWORD host_thread) {
  Search search{host_thread};
  while (search.found == nullptr) {
    Sleep(2);
    EnumWindows(&CalendarWindow, reinterpret_cast<LPARAM>(&search));
  }
  // Returns once the host's thread is in the window's message loop: the
  // window is loaded and shown. Then its paint, children included.
  SendMessageW(search.found, WM_NULL, 0, 0);
  RedrawWindow(search.found, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  agendia::bench::ReportShownAndWait();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  _Calender* calendar = nullptr;
  if (FAILED(CoCreateInstance(CLSID_Calender, nullptr, CLSCTX_INPROC_SERVER, IID__Calender,
                              reinterpret_cast<void**>(&calendar)))) {
    std::fprintf(stderr, "Calender is not registered\n");
    return 1;
  }
  std::thread watcher(WaitForCalendar, GetCurrentThreadId());
  watcher.detach();
  BSTR texts[6] = {SysAllocString(argv[1]), SysAllocString(L"demo"), SysAllocString(L"001"),
                   SysAllocString(L"2024"), SysAllocString(L"2024-03-01"), SysAllocString(L"en-us")};
  const HRESULT shown = calendar->CalenderDesign(&texts[0], &texts[1], &texts[2], &texts[3], &texts[4], &texts[5]);
  std::fprintf(stderr, "CalenderDesign returned 0x%08lx before the window was reported\n",
               static_cast<unsigned long>(shown));
  return 1;
}
