#pragma once

#include <agendia/export.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace agendia {

// HRESULT-style result codes. Negative values are failures; the numbers are
// those a COM host expects, so a host can compare them directly.
namespace hr {
inline constexpr int32_t kOk = 0;                               // S_OK
inline constexpr int32_t kFalse = 1;                            // S_FALSE
inline constexpr int32_t kNotImplemented = int32_t(0x80004001); // E_NOTIMPL
inline constexpr int32_t kNoInterface = int32_t(0x80004002);    // E_NOINTERFACE
inline constexpr int32_t kPointer = int32_t(0x80004003);        // E_POINTER
inline constexpr int32_t kFail = int32_t(0x80004005);           // E_FAIL
inline constexpr int32_t kUnexpected = int32_t(0x8000FFFF);     // E_UNEXPECTED
inline constexpr int32_t kOutOfMemory = int32_t(0x8007000E);    // E_OUTOFMEMORY
inline constexpr int32_t kInvalidArg = int32_t(0x80070057);     // E_INVALIDARG
inline constexpr int32_t kFileNotFound = int32_t(0x80070002);   // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
inline constexpr int32_t kMemberNotFound = int32_t(0x80020003); // DISP_E_MEMBERNOTFOUND
inline constexpr int32_t kTypeMismatch = int32_t(0x80020005);   // DISP_E_TYPEMISMATCH
inline constexpr int32_t kUnknownName = int32_t(0x80020006);    // DISP_E_UNKNOWNNAME
inline constexpr int32_t kBadParamCount = int32_t(0x8002000E);  // DISP_E_BADPARAMCOUNT
inline constexpr int32_t kParamNotOptional = int32_t(0x8002000F); // DISP_E_PARAMNOTOPTIONAL
inline constexpr int32_t kClassNotAvailable = int32_t(0x80040111); // CLASS_E_CLASSNOTAVAILABLE
inline constexpr int32_t kNoAggregation = int32_t(0x80040110);  // CLASS_E_NOAGGREGATION
inline constexpr int32_t kClassNotRegistered = int32_t(0x80040154); // REGDB_E_CLASSNOTREG
inline constexpr int32_t kInvalidClassString = int32_t(0x800401F3); // CO_E_CLASSSTRING
inline constexpr int32_t kSelfRegClass = int32_t(0x80040201);   // SELFREG_E_CLASS
}  // namespace hr

// The outcome of an operation: a result code and, on failure, a description a
// person can read. A default-constructed Status is success.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(int32_t code, std::string description)
      : code_(code), description_(std::move(description)) {}

  static Status Ok() { return Status(); }
  static Status Error(int32_t code, std::string description) {
    return Status(code, std::move(description));
  }
  static Status Fail(std::string description) {
    return Status(hr::kFail, std::move(description));
  }

  bool ok() const { return code_ >= 0; }
  int32_t code() const { return code_; }
  const std::string& description() const { return description_; }

  // Marks a status as deliberately not looked at.
  void IgnoreError() const {}

 private:
  int32_t code_ = hr::kOk;
  std::string description_;
};

namespace internal {
// Ends the process with `status`'s description on standard error: a value
// asked of a StatusOr that holds an error is a fault of the caller, and
// carrying on would read an object that does not exist.
[[noreturn]] inline void DieOfValueOnError(const Status& status) noexcept {
  std::fprintf(stderr, "StatusOr::value() on an error: %s (%ld)\n", status.description().c_str(),
               static_cast<long>(status.code()));
  std::abort();
}
}  // namespace internal

// A value or the Status that explains why there is none. value() on an
// error ends the process with the error's description; operator* and
// operator-> do not check and must only follow a look at ok().
template <typename T>
class [[nodiscard]] StatusOr {
 public:
  StatusOr(T held) : value_(std::move(held)) {}  // NOLINT: implicit by design
  StatusOr(Status status) : status_(std::move(status)) {  // NOLINT
    if (status_.ok()) status_ = Status::Fail("StatusOr built from a success status without a value");
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }
  T& value() & {
    EnsureValue();
    return *value_;
  }
  const T& value() const& {
    EnsureValue();
    return *value_;
  }
  T&& value() && {
    EnsureValue();
    return std::move(*value_);
  }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  void EnsureValue() const {
    if (!value_.has_value()) internal::DieOfValueOnError(status_);
  }

  Status status_;
  std::optional<T> value_;
};

}  // namespace agendia

// Returns the status of `expr` from the calling function when it failed.
#define AGENDIA_RETURN_IF_ERROR(expr)                   \
  do {                                                  \
    ::agendia::Status agendia_status_ = (expr);         \
    if (!agendia_status_.ok()) return agendia_status_;  \
  } while (false)
