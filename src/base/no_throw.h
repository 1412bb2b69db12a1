#pragma once

#include <agendia/status.h>

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace agendia::base {

// Runs `body` (returning a Status or a StatusOr) so that no exception leaves
// it: an escaping std::bad_alloc becomes E_OUTOFMEMORY, any other exception
// `failure_code` with the exception's message, prefixed by "`context`: " when
// a context is given (the member of the host's interface, say). The callers
// above are plain C++ and COM code that only look at result codes.
template <typename Result = Status, typename Body>
Result CallWithoutThrowing(std::string_view context, Body&& body,
                           int32_t failure_code = hr::kFail) noexcept {
  // "Out of memory" fits a std::string without allocating, so reporting it
  // cannot throw again; building any other description may.
  try {
    try {
      return body();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& error) {
      return Result(Status(failure_code, context.empty()
                                             ? std::string(error.what())
                                             : std::string(context) + ": " + error.what()));
    } catch (...) {
      return Result(Status(failure_code, context.empty()
                                             ? std::string("Unexpected failure")
                                             : std::string(context) + ": unexpected failure"));
    }
  } catch (...) {
    return Result(Status(hr::kOutOfMemory, "Out of memory"));
  }
}

}  // namespace agendia::base
