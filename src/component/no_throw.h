#pragma once

#include <agendia/status.h>

#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace agendia::component {

// Runs `body` (returning a Status) so that no exception reaches the host: an
// escaping std::bad_alloc becomes E_OUTOFMEMORY, any other exception E_FAIL
// with a description that names `member` and the exception's message.
template <typename Body>
Status CallWithoutThrowing(std::string_view member, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return Status::Error(hr::kOutOfMemory, "Out of memory");
  } catch (const std::exception& error) {
    try {
      return Status::Fail(std::string(member) + ": " + error.what());
    } catch (...) {
      return Status::Error(hr::kOutOfMemory, "Out of memory");
    }
  } catch (...) {
    try {
      return Status::Fail(std::string(member) + ": unexpected failure");
    } catch (...) {
      return Status::Error(hr::kOutOfMemory, "Out of memory");
    }
  }
}

}  // namespace agendia::component
