// The driver manager (unixODBC's libodbc), loaded the first time a
// connection string needs it rather than by the dynamic linker at every
// start: a window on a SQLite file never maps it. The ODBC functions this
// folder calls are defined here, each passing its call on to the library's
// own; they are hidden, so that nothing outside this module (a driver the
// manager loads, say) ever binds to them. Windows links odbc32 instead.

// Hidden before the headers declare the functions: every definition below
// and every call from this module's other files binds within the module.
#pragma GCC visibility push(hidden)
#include "db/odbc/odbc_api_p.h"
#pragma GCC visibility pop

#include <dlfcn.h>

#include <string>

namespace agendia::db::odbc {

namespace {

struct Api {
  decltype(&::SQLAllocHandle) SQLAllocHandle = nullptr;
  decltype(&::SQLCancel) SQLCancel = nullptr;
  decltype(&::SQLCloseCursor) SQLCloseCursor = nullptr;
  decltype(&::SQLDescribeColW) SQLDescribeColW = nullptr;
  decltype(&::SQLDisconnect) SQLDisconnect = nullptr;
  decltype(&::SQLDriverConnectW) SQLDriverConnectW = nullptr;
  decltype(&::SQLDriversW) SQLDriversW = nullptr;
  decltype(&::SQLExecDirect) SQLExecDirect = nullptr;
  decltype(&::SQLExecDirectW) SQLExecDirectW = nullptr;
  decltype(&::SQLFetch) SQLFetch = nullptr;
  decltype(&::SQLFreeHandle) SQLFreeHandle = nullptr;
  decltype(&::SQLGetData) SQLGetData = nullptr;
  decltype(&::SQLGetDiagRec) SQLGetDiagRec = nullptr;
  decltype(&::SQLGetDiagRecW) SQLGetDiagRecW = nullptr;
  decltype(&::SQLGetInfo) SQLGetInfo = nullptr;
  decltype(&::SQLGetInfoW) SQLGetInfoW = nullptr;
  decltype(&::SQLMoreResults) SQLMoreResults = nullptr;
  decltype(&::SQLNativeSql) SQLNativeSql = nullptr;
  decltype(&::SQLNativeSqlW) SQLNativeSqlW = nullptr;
  decltype(&::SQLNumResultCols) SQLNumResultCols = nullptr;
  decltype(&::SQLRowCount) SQLRowCount = nullptr;
  decltype(&::SQLSetConnectAttrW) SQLSetConnectAttrW = nullptr;
  decltype(&::SQLSetEnvAttr) SQLSetEnvAttr = nullptr;
  decltype(&::SQLSetStmtAttrW) SQLSetStmtAttrW = nullptr;
};

template <typename Function>
bool Load(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  return function != nullptr;
}

struct Loaded {
  Api api;
  bool ok = false;
  std::string problem;
};

Loaded OpenLibrary() {
  Loaded loaded;
  // The library's run-time name first, as the development link is not
  // always installed; global, as some drivers look for the manager's
  // functions in the process rather than linking it themselves.
  void* handle = nullptr;
  for (const char* name : {"libodbc.so.2", "libodbc.so"}) {
    handle = dlopen(name, RTLD_NOW | RTLD_GLOBAL);
    if (handle) break;
    const char* why = dlerror();
    if (loaded.problem.empty() && why) loaded.problem = why;
  }
  if (!handle) return loaded;
  Api& api = loaded.api;
  bool ok = true;
  ok = Load(handle, "SQLAllocHandle", api.SQLAllocHandle) && ok;
  ok = Load(handle, "SQLCancel", api.SQLCancel) && ok;
  ok = Load(handle, "SQLCloseCursor", api.SQLCloseCursor) && ok;
  ok = Load(handle, "SQLDescribeColW", api.SQLDescribeColW) && ok;
  ok = Load(handle, "SQLDisconnect", api.SQLDisconnect) && ok;
  ok = Load(handle, "SQLDriverConnectW", api.SQLDriverConnectW) && ok;
  ok = Load(handle, "SQLDriversW", api.SQLDriversW) && ok;
  ok = Load(handle, "SQLExecDirect", api.SQLExecDirect) && ok;
  ok = Load(handle, "SQLExecDirectW", api.SQLExecDirectW) && ok;
  ok = Load(handle, "SQLFetch", api.SQLFetch) && ok;
  ok = Load(handle, "SQLFreeHandle", api.SQLFreeHandle) && ok;
  ok = Load(handle, "SQLGetData", api.SQLGetData) && ok;
  ok = Load(handle, "SQLGetDiagRec", api.SQLGetDiagRec) && ok;
  ok = Load(handle, "SQLGetDiagRecW", api.SQLGetDiagRecW) && ok;
  ok = Load(handle, "SQLGetInfo", api.SQLGetInfo) && ok;
  ok = Load(handle, "SQLGetInfoW", api.SQLGetInfoW) && ok;
  ok = Load(handle, "SQLMoreResults", api.SQLMoreResults) && ok;
  ok = Load(handle, "SQLNativeSql", api.SQLNativeSql) && ok;
  ok = Load(handle, "SQLNativeSqlW", api.SQLNativeSqlW) && ok;
  ok = Load(handle, "SQLNumResultCols", api.SQLNumResultCols) && ok;
  ok = Load(handle, "SQLRowCount", api.SQLRowCount) && ok;
  ok = Load(handle, "SQLSetConnectAttrW", api.SQLSetConnectAttrW) && ok;
  ok = Load(handle, "SQLSetEnvAttr", api.SQLSetEnvAttr) && ok;
  ok = Load(handle, "SQLSetStmtAttrW", api.SQLSetStmtAttrW) && ok;
  loaded.ok = ok;
  loaded.problem = ok ? std::string() : "the ODBC driver manager lacks an ODBC 3 function";
  // Never closed: drivers it loaded may still run on threads of their own.
  return loaded;
}

// Thread-safe: statements run on helper threads of their own.
const Loaded& TheLibrary() {
  static const Loaded loaded = OpenLibrary();
  return loaded;
}

const Api* LoadedApi() {
  const Loaded& loaded = TheLibrary();
  return loaded.ok ? &loaded.api : nullptr;
}

}  // namespace

std::string DriverManagerProblem() { return TheLibrary().problem; }

}  // namespace agendia::db::odbc

using agendia::db::odbc::LoadedApi;

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT HandleType, SQLHANDLE InputHandle, SQLHANDLE *OutputHandle) {
  const auto* api = LoadedApi();
  return api ? api->SQLAllocHandle(HandleType, InputHandle, OutputHandle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT StatementHandle) {
  const auto* api = LoadedApi();
  return api ? api->SQLCancel(StatementHandle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT StatementHandle) {
  const auto* api = LoadedApi();
  return api ? api->SQLCloseCursor(StatementHandle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT hstmt, SQLUSMALLINT icol, SQLWCHAR *szColName, SQLSMALLINT cbColNameMax, SQLSMALLINT *pcbColName, SQLSMALLINT *pfSqlType, SQLULEN *pcbColDef, SQLSMALLINT *pibScale, SQLSMALLINT *pfNullable) {
  const auto* api = LoadedApi();
  return api ? api->SQLDescribeColW(hstmt, icol, szColName, cbColNameMax, pcbColName, pfSqlType, pcbColDef, pibScale, pfNullable) : SQL_ERROR;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC ConnectionHandle) {
  const auto* api = LoadedApi();
  return api ? api->SQLDisconnect(ConnectionHandle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC hdbc, SQLHWND hwnd, SQLWCHAR *szConnStrIn, SQLSMALLINT cbConnStrIn, SQLWCHAR *szConnStrOut, SQLSMALLINT cbConnStrOutMax, SQLSMALLINT *pcbConnStrOut, SQLUSMALLINT fDriverCompletion) {
  const auto* api = LoadedApi();
  return api ? api->SQLDriverConnectW(hdbc, hwnd, szConnStrIn, cbConnStrIn, szConnStrOut, cbConnStrOutMax, pcbConnStrOut, fDriverCompletion) : SQL_ERROR;
}

SQLRETURN SQL_API SQLDriversW(SQLHENV henv, SQLUSMALLINT fDirection, SQLWCHAR *szDriverDesc, SQLSMALLINT cbDriverDescMax, SQLSMALLINT *pcbDriverDesc, SQLWCHAR *szDriverAttributes, SQLSMALLINT cbDrvrAttrMax, SQLSMALLINT *pcbDrvrAttr) {
  const auto* api = LoadedApi();
  return api ? api->SQLDriversW(henv, fDirection, szDriverDesc, cbDriverDescMax, pcbDriverDesc, szDriverAttributes, cbDrvrAttrMax, pcbDrvrAttr) : SQL_ERROR;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT StatementHandle, SQLCHAR *StatementText, SQLINTEGER TextLength) {
  const auto* api = LoadedApi();
  return api ? api->SQLExecDirect(StatementHandle, StatementText, TextLength) : SQL_ERROR;
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT hstmt, SQLWCHAR *szSqlStr, SQLINTEGER cbSqlStr) {
  const auto* api = LoadedApi();
  return api ? api->SQLExecDirectW(hstmt, szSqlStr, cbSqlStr) : SQL_ERROR;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT StatementHandle) {
  const auto* api = LoadedApi();
  return api ? api->SQLFetch(StatementHandle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT HandleType, SQLHANDLE Handle) {
  const auto* api = LoadedApi();
  return api ? api->SQLFreeHandle(HandleType, Handle) : SQL_ERROR;
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber, SQLSMALLINT TargetType, SQLPOINTER TargetValue, SQLLEN BufferLength, SQLLEN *StrLen_or_Ind) {
  const auto* api = LoadedApi();
  return api ? api->SQLGetData(StatementHandle, ColumnNumber, TargetType, TargetValue, BufferLength, StrLen_or_Ind) : SQL_ERROR;
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber, SQLCHAR *Sqlstate, SQLINTEGER *NativeError, SQLCHAR *MessageText, SQLSMALLINT BufferLength, SQLSMALLINT *TextLength) {
  const auto* api = LoadedApi();
  return api ? api->SQLGetDiagRec(HandleType, Handle, RecNumber, Sqlstate, NativeError, MessageText, BufferLength, TextLength) : SQL_ERROR;
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT fHandleType, SQLHANDLE handle, SQLSMALLINT iRecord, SQLWCHAR *szSqlState, SQLINTEGER *pfNativeError, SQLWCHAR *szErrorMsg, SQLSMALLINT cbErrorMsgMax, SQLSMALLINT *pcbErrorMsg) {
  const auto* api = LoadedApi();
  return api ? api->SQLGetDiagRecW(fHandleType, handle, iRecord, szSqlState, pfNativeError, szErrorMsg, cbErrorMsgMax, pcbErrorMsg) : SQL_ERROR;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC ConnectionHandle, SQLUSMALLINT InfoType, SQLPOINTER InfoValue, SQLSMALLINT BufferLength, SQLSMALLINT *StringLength) {
  const auto* api = LoadedApi();
  return api ? api->SQLGetInfo(ConnectionHandle, InfoType, InfoValue, BufferLength, StringLength) : SQL_ERROR;
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC hdbc, SQLUSMALLINT fInfoType, SQLPOINTER rgbInfoValue, SQLSMALLINT cbInfoValueMax, SQLSMALLINT *pcbInfoValue) {
  const auto* api = LoadedApi();
  return api ? api->SQLGetInfoW(hdbc, fInfoType, rgbInfoValue, cbInfoValueMax, pcbInfoValue) : SQL_ERROR;
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT hstmt) {
  const auto* api = LoadedApi();
  return api ? api->SQLMoreResults(hstmt) : SQL_ERROR;
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC hdbc, SQLCHAR *szSqlStrIn, SQLINTEGER cbSqlStrIn, SQLCHAR *szSqlStr, SQLINTEGER cbSqlStrMax, SQLINTEGER *pcbSqlStr) {
  const auto* api = LoadedApi();
  return api ? api->SQLNativeSql(hdbc, szSqlStrIn, cbSqlStrIn, szSqlStr, cbSqlStrMax, pcbSqlStr) : SQL_ERROR;
}

SQLRETURN SQL_API SQLNativeSqlW(SQLHDBC hdbc, SQLWCHAR *szSqlStrIn, SQLINTEGER cbSqlStrIn, SQLWCHAR *szSqlStr, SQLINTEGER cbSqlStrMax, SQLINTEGER *pcbSqlStr) {
  const auto* api = LoadedApi();
  return api ? api->SQLNativeSqlW(hdbc, szSqlStrIn, cbSqlStrIn, szSqlStr, cbSqlStrMax, pcbSqlStr) : SQL_ERROR;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT StatementHandle, SQLSMALLINT *ColumnCount) {
  const auto* api = LoadedApi();
  return api ? api->SQLNumResultCols(StatementHandle, ColumnCount) : SQL_ERROR;
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT StatementHandle, SQLLEN *RowCount) {
  const auto* api = LoadedApi();
  return api ? api->SQLRowCount(StatementHandle, RowCount) : SQL_ERROR;
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC hdbc, SQLINTEGER fAttribute, SQLPOINTER rgbValue, SQLINTEGER cbValue) {
  const auto* api = LoadedApi();
  return api ? api->SQLSetConnectAttrW(hdbc, fAttribute, rgbValue, cbValue) : SQL_ERROR;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV EnvironmentHandle, SQLINTEGER Attribute, SQLPOINTER Value, SQLINTEGER StringLength) {
  const auto* api = LoadedApi();
  return api ? api->SQLSetEnvAttr(EnvironmentHandle, Attribute, Value, StringLength) : SQL_ERROR;
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT hstmt, SQLINTEGER fAttribute, SQLPOINTER rgbValue, SQLINTEGER cbValueMax) {
  const auto* api = LoadedApi();
  return api ? api->SQLSetStmtAttrW(hstmt, fAttribute, rgbValue, cbValueMax) : SQL_ERROR;
}

}  // extern "C"
