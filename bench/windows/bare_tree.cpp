// The reference for the calendar's first open at scale: the same select
// through ODBC and a native tree of the same nodes, with no more than a
// plain program needs. The memos due on 2024-03-01 (daily ones, and once
// ones of that day) go under the first two of six groups, each with its
// title copied into the tree, appended in the order read; then the groups
// are expanded and the window, of the calendar's size with the tree where
// the calendar has it, is shown and painted (shown.h).
//
//   agendia_bench_bare_tree both CONNECTION_STRING   the select and the tree
//   agendia_bench_bare_tree select CONNECTION_STRING the select alone, no window
//   agendia_bench_bare_tree tree N                   the tree of N memos alone
//   agendia_bench_bare_tree teardown N               the tree of N memos, shown,
//       then emptied with drawing off (TVM_DELETEITEM on the root), filled
//       again and destroyed with its window: prints the CPU time of each
//       of the two ends

#include "shown.h"

#include <windows.h>
#include <commctrl.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Tree {
  HWND window = nullptr;
  HWND tree = nullptr;
  HTREEITEM groups[6] = {};

  void Create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RECT frame{0, 0, agendia::bench::kCalendarWidth, agendia::bench::kCalendarHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExW(0, L"#32770", L"Bare tree", style, 0, 0, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Where the calendar has its tree (120, 360, 2,055 x 3,015 twips), in
    // Tahoma 9 as there.
    tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS |
                               TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                           8, 24, 137, 201, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const wchar_t* captions[6] = {L"Once", L"Daily", L"Weekly", L"Monthly", L"Quarterly", L"Yearly"};
    for (int i = 0; i < 6; ++i) groups[i] = Add(TVI_ROOT, captions[i]);
  }
  HTREEITEM Add(HTREEITEM parent, const wchar_t* text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return TreeView_InsertItem(tree, &insert);
  }
  void FillWithMemos(long memos) {
    wchar_t title[64];
    for (long i = 1; i <= memos; ++i) {
      std::swprintf(title, 64, L"Memo %ld: call the supplier about order %ld", i, i * 7919 % 100000);
      Add(groups[1], title);
    }
  }
  void Show() {
    for (HTREEITEM group : groups) TreeView_Expand(tree, group, TVE_EXPAND);
    ShowWindow(window, SW_SHOW);
    agendia::bench::PaintNow(window);
  }
  [[noreturn]] void ShowAndReport() {
    Show();
    agendia::bench::ReportShownAndWait();
  }
};

// The CPU time of this thread so far, in milliseconds.
double ThreadCpuMs() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  const auto ms = [](FILETIME time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// Reads the memos of "demo" as the calendar selects them, each due one
// handed to `add` with its group and title. Returns the rows read, or -1.
template <typename Add>
long Select(const wchar_t* connection, Add add) {
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC link = SQL_NULL_HDBC;
  SQLHSTMT statement = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
  SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, environment, &link);
  if (!SQL_SUCCEEDED(SQLDriverConnectW(link, nullptr, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(connection)),
                                       SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
    return -1;
  }
  SQLAllocHandle(SQL_HANDLE_STMT, link, &statement);
  wchar_t text[] = L"select * from ZA_Message where nMsgType=100 and cReceiver='demo'";
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement, reinterpret_cast<SQLWCHAR*>(text), SQL_NTS))) return -1;
  long rows = 0;
  wchar_t id[64], title[512], sent[32];
  SQLSMALLINT kind = 0;
  SQLLEN size = 0;
  while (SQL_SUCCEEDED(SQLFetch(statement))) {
    ++rows;
    // The four columns the calendar reads, in the table's order.
    SQLGetData(statement, 1, SQL_C_WCHAR, id, sizeof id, &size);
    SQLGetData(statement, 3, SQL_C_WCHAR, title, sizeof title, &size);
    if (size == SQL_NULL_DATA) title[0] = 0;
    SQLGetData(statement, 7, SQL_C_WCHAR, sent, sizeof sent, &size);
    SQLGetData(statement, 10, SQL_C_SSHORT, &kind, 0, &size);
    if (size == SQL_NULL_DATA) kind = 0;
    if (kind == 1 || (kind == 0 && std::wcsncmp(sent, L"2024-03-01", 10) == 0)) add(kind, title);
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  SQLDisconnect(link);
  SQLFreeHandle(SQL_HANDLE_DBC, link);
  SQLFreeHandle(SQL_HANDLE_ENV, environment);
  return rows;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::wstring mode = argv[1];
  Tree tree;
  if (mode == L"tree") {
    tree.Create();
    tree.FillWithMemos(std::wcstol(argv[2], nullptr, 10));
    tree.ShowAndReport();
  }
  if (mode == L"teardown") {
    const long memos = std::wcstol(argv[2], nullptr, 10);
    tree.Create();
    tree.FillWithMemos(memos);
    tree.Show();
    double start = ThreadCpuMs();
    SendMessageW(tree.tree, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree.tree);
    const double emptied = ThreadCpuMs() - start;
    SendMessageW(tree.tree, WM_SETREDRAW, TRUE, 0);
    tree.Create();
    tree.FillWithMemos(memos);
    tree.Show();
    start = ThreadCpuMs();
    DestroyWindow(tree.window);
    const double destroyed = ThreadCpuMs() - start;
    std::printf("%ld memos: emptied with drawing off in %.0f ms, destroyed in %.0f ms of CPU\n", memos, emptied,
                destroyed);
    return 0;
  }
  if (mode == L"select") {
    long due = 0;
    if (Select(argv[2], [&](int, const wchar_t*) { ++due; }) < 0) return 1;
    agendia::bench::ReportShownAndWait();
  }
  if (mode == L"both") {
    tree.Create();
    if (Select(argv[2], [&](int kind, const wchar_t* title) { tree.Add(tree.groups[kind], title); }) < 0) return 1;
    tree.ShowAndReport();
  }
  return 2;
}
