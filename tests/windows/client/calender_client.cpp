// A host of Agendia.dll, early-bound: creates Calender by its class
// identifier, asks for _Calender by its interface identifier and calls every
// member through the vtable, then checks the dispatch identifiers, the error
// information and that the DLL may be unloaded once the object is gone.
//
// Usage: agendia_com_client CONNECTION_STRING LANGUAGE [BULK]
// The window that CalenderDesign opens is checked and closed by a watcher
// thread; database message boxes on the way are answered and reported.
// Prints one line per check and exits 0 when all passed.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <oleauto.h>

#include "AgendiaVB.h"

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <cstdio>
#include <string>
#include <thread>

namespace {

int g_failures = 0;

void Check(bool passed, const char* what) {
  std::printf("%s: %s\n", passed ? "ok" : "FAILED", what);
  if (!passed) ++g_failures;
}

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// What the watcher saw of the calendar window.
struct WindowReport {
  std::atomic<bool> seen{false};
  std::atomic<HWND> window{nullptr};
  std::atomic<HWND> owner{nullptr};
  std::atomic<bool> portal_disabled{false};
  std::atomic<int> children{0};
  std::atomic<int> message_boxes{0};
  std::wstring first_message;  // the text of the first message box
  // The input controls in tab order, "class" or "class(hidden)",
  // space-separated, and those of them that Tab stops at while a memo is
  // browsed (the locked fields are not).
  std::wstring tab_order;
  std::wstring browse_tab_stops;
  // The locked edit boxes: read-only, yet enabled windows (drawn at full
  // contrast); and the kind chooser's closed height in pixels.
  bool fields_read_only = false;
  int chooser_height = 0;
  // For each input control in the dialog's order, "class=label": the label
  // just before it, which screen readers take as its name ("-": none).
  std::wstring labels;
  // The tree's nodes, and whether its first node is the first one in view.
  int tree_nodes = 0;
  bool tree_at_top = false;
  // The tree has the focus and no node selected (it took the focus at open).
  bool tree_focused_unselected = false;
  // The texts the tree gives for its first group and that group's nodes,
  // '|'-separated; and for the last node of the second group.
  std::wstring tree_texts;
  std::wstring last_daily_text;
  // The fonts of the controls as "face size charset", one per control,
  // space-separated with '|'.
  std::wstring fonts;
  // The texts of the labels, '|'-separated.
  std::wstring label_texts;
};

bool IsInputControl(HWND window) {
  const std::wstring kind = ClassName(window);
  return kind == L"Edit" || kind == L"SysTreeView32" || kind == L"ComboBox" || kind == L"Button";
}

std::wstring TabOrder(HWND dialog, bool stops_only) {
  std::wstring order;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsInputControl(child)) continue;
    if (stops_only && !(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) continue;
    if (!order.empty()) order += L' ';
    order += ClassName(child);
    if (!IsWindowVisible(child)) order += L"(hidden)";
  }
  return order;
}

std::wstring Labels(HWND dialog) {
  std::wstring labels;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::wstring kind = ClassName(child);
    if (kind != L"Edit" && kind != L"SysTreeView32" && kind != L"ComboBox") continue;
    HWND before = GetWindow(child, GW_HWNDPREV);
    const bool labelled = before && ClassName(before) == L"Static";
    if (!labels.empty()) labels += L' ';
    labels += kind + L"=" + (labelled ? WindowText(before) : L"-");
  }
  return labels;
}

// The text a tree item shows, as the tree gives it to anyone who asks.
std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t text[260] = {};
  TVITEMW query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = 260;
  if (item == nullptr || !TreeView_GetItem(tree, &query)) return L"?";
  return query.pszText;
}

// The distinct fonts of the visible controls, at 96 DPI: face, height in
// pixels and character set.
std::wstring Fonts(HWND dialog) {
  std::wstring fonts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof description, &description)) continue;
    wchar_t line[96];
    swprintf(line, 96, L"%ls %ld %d", description.lfFaceName, static_cast<long>(description.lfHeight),
             description.lfCharSet);
    if (fonts.find(line) == std::wstring::npos) fonts += (fonts.empty() ? L"" : L"|") + std::wstring(line);
  }
  return fonts;
}

// The labels' texts, each between '|'s.
std::wstring LabelTexts(HWND dialog) {
  std::wstring texts = L"|";
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) == L"Static") texts += WindowText(child) + L"|";
  }
  return texts;
}

// How the watcher ends the calendar window it found.
enum class Ending {
  kCloseWindow,   // closes it, as its close box does
  kClosePortal,   // closes the portal window, which destroys the windows it owns
};

struct WatchTarget {
  DWORD process;
  WindowReport* report;
  HWND portal;
  Ending ending;
  bool done = false;
};

BOOL CALLBACK CountOne(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int CountChildren(HWND window) {
  int count = 0;
  EnumChildWindows(window, &CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

BOOL CALLBACK WatchOne(HWND window, LPARAM target_pointer) {
  auto* target = reinterpret_cast<WatchTarget*>(target_pointer);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != target->process || !IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
  const std::wstring title = WindowText(window);
  if (title == L"AgendiaVB") {
    // A message box of the component (a database failure): report its text
    // and answer it.
    HWND text = GetDlgItem(window, 0xFFFF);
    const std::wstring message = WindowText(text ? text : window);
    std::printf("message box: %s\n", Narrow(message.c_str()).c_str());
    if (target->report->message_boxes++ == 0) target->report->first_message = message;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  target->report->seen = true;
  target->report->window = window;
  target->report->owner = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT));
  target->report->portal_disabled = !IsWindowEnabled(target->portal);
  target->report->children = CountChildren(window);
  target->report->tab_order = TabOrder(window, false);
  target->report->browse_tab_stops = TabOrder(window, true);
  bool read_only = true;
  for (HWND edit = FindWindowExW(window, nullptr, L"Edit", nullptr); edit;
       edit = FindWindowExW(window, edit, L"Edit", nullptr)) {
    if (!IsWindowVisible(edit)) continue;
    read_only = read_only && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) && IsWindowEnabled(edit);
  }
  target->report->fields_read_only = read_only;
  if (HWND chooser = FindWindowExW(window, nullptr, L"ComboBox", nullptr)) {
    RECT frame{};
    GetWindowRect(chooser, &frame);
    target->report->chooser_height = static_cast<int>(frame.bottom - frame.top);
  }
  target->report->fonts = Fonts(window);
  target->report->labels = Labels(window);
  if (HWND tree = FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr)) {
    target->report->tree_nodes = static_cast<int>(TreeView_GetCount(tree));
    target->report->tree_at_top = TreeView_GetFirstVisible(tree) == TreeView_GetRoot(tree);
    const HTREEITEM group = TreeView_GetRoot(tree);
    target->report->tree_texts = ItemText(tree, group);
    for (HTREEITEM node = TreeView_GetChild(tree, group); node; node = TreeView_GetNextSibling(tree, node)) {
      target->report->tree_texts += L"|" + ItemText(tree, node);
    }
    const HTREEITEM daily = TreeView_GetNextSibling(tree, group);
    HTREEITEM last = TreeView_GetChild(tree, daily);
    for (HTREEITEM node = last; node; node = TreeView_GetNextSibling(tree, node)) last = node;
    target->report->last_daily_text = ItemText(tree, last);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    target->report->tree_focused_unselected =
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus == tree &&
        TreeView_GetSelection(tree) == nullptr;
  }
  target->report->label_texts = LabelTexts(window);
  PostMessageW(target->ending == Ending::kClosePortal ? target->portal : window, WM_CLOSE, 0, 0);
  target->done = true;
  return FALSE;
}

// Watches for the calendar window for up to 60 seconds.
void Watch(WindowReport* report, HWND portal, Ending ending) {
  WatchTarget target{GetCurrentProcessId(), report, portal, ending};
  for (int i = 0; i < 600 && !target.done; ++i) {
    Sleep(100);
    EnumWindows(&WatchOne, reinterpret_cast<LPARAM>(&target));
  }
}

LRESULT CALLBACK PlainWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(HWND parent, const wchar_t* name) {
  const DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  return CreateWindowExW(0, L"AgendiaClientWindow", name, style, 0, 0, 200, 150, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// CalenderDesign's six arguments for IDispatch::Invoke, as a script host
// passes them: strings, except where a test puts something else.
struct DesignArguments {
  VARIANT values[6];
  explicit DesignArguments(const wchar_t* connection, const wchar_t* language) {
    const wchar_t* texts[6] = {connection, L"demo", L"001", L"2024", L"2024-03-01", language};
    for (int i = 0; i < 6; ++i) {
      VariantInit(&values[i]);
      V_VT(&values[i]) = VT_BSTR;
      V_BSTR(&values[i]) = SysAllocString(texts[i]);
    }
  }
  ~DesignArguments() {
    for (VARIANT& value : values) VariantClear(&value);
  }
  VARIANT& operator[](int parameter) { return values[parameter]; }
  // Invokes CalenderDesign by its dispatch identifier; the arguments go last
  // first, so parameter i is at position 5 - i.
  HRESULT Invoke(_Calender* calendar, UINT* argument_error) {
    VARIANT reversed[6];
    for (int i = 0; i < 6; ++i) reversed[5 - i] = values[i];
    DISPPARAMS params{reversed, nullptr, 6, 0};
    return calendar->Invoke(0x60030003, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                            nullptr, argument_error);
  }
};

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: agendia_com_client CONNECTION_STRING LANGUAGE [BULK]\n");
    return 2;
  }
  // The database may hold BULK more daily memos, "Bulk 1" to "Bulk BULK",
  // read after the seven of the test.
  const int bulk = argc > 3 ? _wtoi(argv[3]) : 0;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &PlainWindow;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"AgendiaClientWindow";
  RegisterClassW(&window_class);
  HWND top = MakeWindow(nullptr, L"portal");
  HWND pane = MakeWindow(top, L"pane");
  HWND leaf = MakeWindow(pane, L"leaf");

  _Calender* calendar = nullptr;
  {
    IUnknown* unknown = nullptr;
    HRESULT created = CoCreateInstance(CLSID_Calender, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       reinterpret_cast<void**>(&unknown));
    Check(SUCCEEDED(created), "CoCreateInstance by class identifier");
    if (FAILED(created)) return 1;
    Check(SUCCEEDED(unknown->QueryInterface(IID__Calender, reinterpret_cast<void**>(&calendar))),
          "QueryInterface for _Calender by interface identifier");
    unknown->Release();
    if (calendar == nullptr) return 1;
  }
  HMODULE server = GetModuleHandleW(L"Agendia.dll");
  auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(server ? GetProcAddress(server, "DllCanUnloadNow") : nullptr));
  Check(can_unload != nullptr && can_unload() == S_FALSE, "DllCanUnloadNow is S_FALSE while an object lives");

  // PortalEnabled before any put, then PortHwnd with a child window: the
  // portal is its direct parent.
  VARIANT_BOOL enabled = 1;
  Check(calendar->get_PortalEnabled(&enabled) == S_OK && enabled == VARIANT_FALSE,
        "PortalEnabled reads false before any put");
  Check(calendar->put_PortHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(leaf))) == S_OK, "PortHwnd put");
  calendar->put_PortalEnabled(VARIANT_FALSE);
  Check(!IsWindowEnabled(pane) && IsWindowEnabled(top), "PortHwnd(leaf) makes its parent the portal");
  calendar->put_PortalEnabled(VARIANT_TRUE);
  Check(IsWindowEnabled(pane), "PortalEnabled(true) enables the portal again");
  Check(calendar->get_PortalEnabled(&enabled) == S_OK && enabled == VARIANT_TRUE,
        "PortalEnabled reads the value put");
  calendar->put_PortHwnd(0);
  calendar->put_PortalEnabled(VARIANT_FALSE);
  Check(!IsWindowEnabled(pane), "PortHwnd(0) leaves the portal alone");
  calendar->put_PortalEnabled(VARIANT_TRUE);

  // GetPortalHwnd: the top-most ancestor, never the window itself.
  LONG portal = -1;
  Check(calendar->GetPortalHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(leaf)), &portal) == S_OK &&
            portal == static_cast<LONG>(reinterpret_cast<INT_PTR>(top)),
        "GetPortalHwnd(leaf) is the top-level ancestor");
  portal = -1;
  Check(calendar->GetPortalHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(top)), &portal) == S_OK && portal == 0,
        "GetPortalHwnd(top-level) is 0");
  portal = -1;
  Check(calendar->GetPortalHwnd(0, &portal) == S_OK && portal == 0, "GetPortalHwnd(0) is 0");
  calendar->GetPortalHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(leaf)), &portal);

  // CalenderDesign: the window opens modally, owned by the portal, which is
  // disabled while it is open; the watcher closes it.
  WindowReport report;
  std::thread watcher(Watch, &report, top, Ending::kCloseWindow);
  BSTR texts[6] = {SysAllocString(argv[1]), SysAllocString(L"demo"), SysAllocString(L"001"),
                   SysAllocString(L"2024"), SysAllocString(L"2024-03-01"), SysAllocString(argv[2])};
  const BSTR before = texts[0];
  HRESULT designed = calendar->CalenderDesign(&texts[0], &texts[1], &texts[2], &texts[3], &texts[4], &texts[5]);
  watcher.join();
  Check(designed == S_OK, "CalenderDesign returns S_OK once the window is closed");
  Check(report.seen, "CalenderDesign opened the calendar window");
  Check(report.owner == top, "the portal window owns the calendar window");
  Check(report.portal_disabled, "the portal window is disabled while the calendar is open");
  Check(report.children >= 19, "the calendar window has its native controls");
  Check(report.tab_order ==
            L"SysTreeView32 Edit Edit ComboBox Edit(hidden) Edit Edit Button Button Button Button Button",
        "tab order: tree, hour, minute, kind, (hidden end day), title, content, Add to Exit");
  std::printf("tab order: %s\n", Narrow(report.tab_order.c_str()).c_str());
  Check(report.browse_tab_stops == L"SysTreeView32 ComboBox Button Button Button Button Button",
        "while a memo is browsed, Tab skips the locked fields (the disabled kind chooser too)");
  Check(report.fields_read_only, "the locked fields are read-only, not disabled, so their text keeps its contrast");
  {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Check(report.chooser_height == MulDiv(300, dpi, 1440), "the kind chooser has its designed height of 300 twips");
    std::printf("kind chooser: %d pixels high at %d DPI\n", report.chooser_height, dpi);
  }
  // English: every control in Tahoma 8 (11 pixels at 96 DPI), character set 0.
  Check(report.fonts == L"Tahoma -11 0", "with en-us every control has the font Tahoma 8, character set 0");
  std::printf("fonts: %s\n", Narrow(report.fonts.c_str()).c_str());
  Check(report.labels == L"SysTreeView32=- Edit=Time: Edit=- ComboBox=- Edit=Until: "
                         L"Edit=Title: Edit=Text:",
        "each labelled field follows its label, where screen readers look for its name (the tree's label overlaps it and stays beneath)");
  std::printf("labels: %s\n", Narrow(report.labels.c_str()).c_str());
  Check(report.tree_nodes == 13 + bulk, "the tree lists the memos due under their 6 kinds");
  std::printf("tree: %d nodes\n", report.tree_nodes);
  Check(report.tree_at_top, "the tree, taller than its box, opens scrolled to its first node");
  Check(report.tree_texts == L"Once|Memo 1|Memo 2",
        "the tree gives the caption of its first group and the titles of its memos, in the order read");
  Check(report.last_daily_text == (bulk == 0 ? std::wstring(L"Memo 3") : L"Bulk " + std::to_wstring(bulk)),
        "the last daily memo read is the daily group's last node");
  Check(report.tree_focused_unselected, "the tree takes the focus at open and selects no node for it");
  Check(IsWindowEnabled(top), "the portal window is enabled again after the calendar closed");
  Check(texts[0] == before && lstrcmpW(texts[0], argv[1]) == 0, "CalenderDesign writes nothing back");
  Check(report.message_boxes == 0, "no message box on the way");
  for (BSTR text : texts) SysFreeString(text);

  // A database that cannot be opened: the window still opens, and says why
  // in a message box with the component's title: the driver's description,
  // then the error number in parentheses.
  {
    WindowReport broken;
    std::thread broken_watcher(Watch, &broken, top, Ending::kCloseWindow);
    BSTR args[6] = {SysAllocString(L"Driver=SQLite3;Database=/nonexistent/folder/VXSystem.db;NoCreat=1"),
                    SysAllocString(L"demo"), SysAllocString(L"001"), SysAllocString(L"2024"),
                    SysAllocString(L"2024-03-01"), SysAllocString(argv[2])};
    HRESULT opened = calendar->CalenderDesign(&args[0], &args[1], &args[2], &args[3], &args[4], &args[5]);
    broken_watcher.join();
    for (BSTR arg : args) SysFreeString(arg);
    const std::wstring& message = broken.first_message;
    const size_t open = message.rfind(L'(');
    Check(opened == S_OK && broken.seen && broken.tree_nodes == 6,
          "with a database that cannot be opened the window still opens, with the six kinds and no memo");
    Check(broken.message_boxes == 1 && open != std::wstring::npos && open > 0 && message.back() == L')' &&
              std::wcstol(message.c_str() + open + 1, nullptr, 10) != 0,
          "one message box tells the failure and its number");
  }

  // The host closes its portal window while the calendar is open: the system
  // destroys the calendar window with it, and CalenderDesign returns as
  // after a close. The next call opens a new window.
  {
    HWND doomed = MakeWindow(nullptr, L"closing portal");
    HWND doomed_pane = MakeWindow(doomed, L"closing pane");
    LONG doomed_portal = 0;
    calendar->GetPortalHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(doomed_pane)), &doomed_portal);
    WindowReport orphaned;
    std::atomic<bool> returned{false};
    std::atomic<bool> needed_quit{false};
    const DWORD host_thread = GetCurrentThreadId();
    // A calendar that outlives its window would wait for ever: after 20
    // seconds the host quits, which ends every modal loop, and the check
    // fails.
    std::thread closer([&] {
      Watch(&orphaned, doomed, Ending::kClosePortal);
      for (int i = 0; i < 200 && !returned; ++i) Sleep(100);
      if (!returned) {
        needed_quit = true;
        PostThreadMessageW(host_thread, WM_QUIT, 0, 0);
      }
    });
    DesignArguments args(argv[1], argv[2]);
    HRESULT ended = args.Invoke(calendar, nullptr);
    returned = true;
    closer.join();
    MSG quit{};
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Check(orphaned.seen && orphaned.owner == doomed, "the calendar opened, owned by the portal that closes");
    Check(ended == S_OK && !needed_quit,
          "CalenderDesign returns S_OK when the portal window closes while the calendar is open");
    Check(!IsWindow(doomed) && orphaned.window != nullptr && !IsWindow(orphaned.window),
          "closing the portal destroyed the calendar window with it");
    calendar->GetPortalHwnd(static_cast<LONG>(reinterpret_cast<INT_PTR>(leaf)), &portal);
    WindowReport reopened;
    std::thread watcher_again(Watch, &reopened, top, Ending::kCloseWindow);
    HRESULT again = args.Invoke(calendar, nullptr);
    watcher_again.join();
    Check(again == S_OK && reopened.seen && reopened.window != orphaned.window &&
              reopened.tree_nodes == 13 + bulk,
          "after the portal went, the next CalenderDesign opens a new window");
  }

  // Through Invoke a Date for the current day and a number for the year are
  // taken as what they are, whatever the locale writes for them.
  {
    DesignArguments args(argv[1], argv[2]);
    SYSTEMTIME friday{};
    friday.wYear = 2024;
    friday.wMonth = 3;
    friday.wDay = 1;
    VariantClear(&args[3]);
    V_VT(&args[3]) = VT_I4;
    V_I4(&args[3]) = 2024;
    VariantClear(&args[4]);
    V_VT(&args[4]) = VT_DATE;
    SystemTimeToVariantTime(&friday, &V_DATE(&args[4]));
    WindowReport dated;
    std::thread watcher_dated(Watch, &dated, top, Ending::kCloseWindow);
    HRESULT shown = args.Invoke(calendar, nullptr);
    watcher_dated.join();
    Check(shown == S_OK && dated.seen && dated.tree_nodes == 13 + bulk,
          "a Date for the current day (VT_DATE) lists the memos due on that day");
    Check(dated.label_texts.find(L"|Friday|") != std::wstring::npos && dated.message_boxes == 0,
          "a Date for the current day names its weekday, with no message box");
  }

  // Bad arguments through Invoke fail as IDispatch's convention has it, with
  // the argument's position (last first): a value with no text is a type
  // mismatch; a missing one (passed as the error DISP_E_PARAMNOTFOUND) is a
  // required parameter omitted.
  {
    struct BadArgument {
      int parameter;
      VARTYPE type;
      HRESULT expected;
      const char* what;
    };
    const BadArgument cases[] = {
        {2, VT_NULL, DISP_E_TYPEMISMATCH, "Null for cAcc_ID is DISP_E_TYPEMISMATCH at position 3"},
        {0, VT_ARRAY | VT_VARIANT, DISP_E_TYPEMISMATCH, "an array for VxDbName is DISP_E_TYPEMISMATCH at position 5"},
        {4, VT_ERROR, DISP_E_PARAMNOTOPTIONAL, "a missing dayCurr is DISP_E_PARAMNOTOPTIONAL at position 1"},
    };
    for (const BadArgument& bad : cases) {
      DesignArguments args(argv[1], argv[2]);
      VARIANT& value = args[bad.parameter];
      VariantClear(&value);
      V_VT(&value) = bad.type;
      if (bad.type == VT_ERROR) V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
      if (bad.type & VT_ARRAY) V_ARRAY(&value) = SafeArrayCreateVector(VT_VARIANT, 0, 2);
      UINT position = 99;
      const HRESULT code = args.Invoke(calendar, &position);
      Check(code == bad.expected && position == static_cast<UINT>(5 - bad.parameter), bad.what);
    }
  }

  // A failing member: its description comes as the error information.
  ISupportErrorInfo* support = nullptr;
  Check(SUCCEEDED(calendar->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
            support->InterfaceSupportsErrorInfo(IID__Calender) == S_OK,
        "ISupportErrorInfo says _Calender reports error information");
  if (support) support->Release();
  BSTR text = SysAllocString(L"x");
  HRESULT failed = calendar->CalenderDesign(nullptr, &text, &text, &text, &text, &text);
  SysFreeString(text);
  IErrorInfo* error = nullptr;
  BSTR description = nullptr;
  if (GetErrorInfo(0, &error) == S_OK && error) {
    error->GetDescription(&description);
    error->Release();
  }
  Check(failed == E_POINTER, "CalenderDesign with a null pointer fails with E_POINTER");
  Check(description != nullptr && std::wstring(description).find(L"VxDbName") != std::wstring::npos,
        "the failure's description names the argument");
  SysFreeString(description);

  // The dispatch identifiers, and a property read by identifier.
  Check(IdOf(calendar, L"PortalEnabled") == 0x68030000, "dispatch identifier of PortalEnabled");
  Check(IdOf(calendar, L"PortHwnd") == 0x68030001, "dispatch identifier of PortHwnd");
  Check(IdOf(calendar, L"GetPortalHwnd") == 0x60030002, "dispatch identifier of GetPortalHwnd");
  Check(IdOf(calendar, L"calenderdesign") == 0x60030003, "dispatch identifier of CalenderDesign, any case");
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS none{};
  Check(calendar->Invoke(0x68030000, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                         nullptr, nullptr) == S_OK &&
            V_VT(&value) == VT_BOOL && V_BOOL(&value) == VARIANT_TRUE,
        "Invoke reads PortalEnabled by identifier");

  ITypeInfo* info = nullptr;
  TYPEATTR* attributes = nullptr;
  Check(calendar->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info) == S_OK && info &&
            info->GetTypeAttr(&attributes) == S_OK && IsEqualGUID(attributes->guid, IID__Calender) &&
            (attributes->wTypeFlags & TYPEFLAG_FDUAL) && (attributes->wTypeFlags & TYPEFLAG_FHIDDEN) &&
            (attributes->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE),
        "the type information is _Calender: dual, hidden, non-extensible");
  if (info && attributes) info->ReleaseTypeAttr(attributes);
  if (info) info->Release();

  calendar->Release();
  Check(can_unload != nullptr && can_unload() == S_OK, "DllCanUnloadNow is S_OK after the last release");
  DestroyWindow(top);
  CoUninitialize();
  std::printf("%d failure(s)\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
