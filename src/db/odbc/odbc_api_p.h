#pragma once

// The ODBC headers, for this folder's .cpp files only. On Windows they need
// the Windows types first; elsewhere unixODBC's headers bring their own.
#if defined(_WIN32)
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <string>
#include <string_view>

namespace agendia::db::odbc {

// SQLWCHAR is 16 bits with unixODBC and with Windows' odbc32 (where it is
// wchar_t); the text crosses as UTF-16 in char16_t on both.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters must be UTF-16");

inline SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }
inline const char16_t* Narrowed(const SQLWCHAR* text) {
  return reinterpret_cast<const char16_t*>(text);
}

inline bool Succeeded(SQLRETURN result) {
  return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// Frees one ODBC handle of the given type when it goes.
template <SQLSMALLINT kType>
class Handle {
 public:
  Handle() = default;
  ~Handle() { Reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  SQLHANDLE get() const { return handle_; }
  SQLHANDLE* out() { return &handle_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
  // Gives up ownership: the caller frees the handle.
  SQLHANDLE release() {
    const SQLHANDLE handle = handle_;
    handle_ = SQL_NULL_HANDLE;
    return handle;
  }
  void Reset() {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(kType, handle_);
    handle_ = SQL_NULL_HANDLE;
  }

 private:
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

using EnvironmentHandle = Handle<SQL_HANDLE_ENV>;
using ConnectionHandle = Handle<SQL_HANDLE_DBC>;
using StatementHandle = Handle<SQL_HANDLE_STMT>;

}  // namespace agendia::db::odbc
