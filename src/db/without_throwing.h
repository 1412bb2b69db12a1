#pragma once

#include "db/database.h"

#include <agendia/status.h>

#include <exception>
#include <new>
#include <string>

namespace agendia::db {

// Runs `body` (returning a Status or a StatusOr) so that no exception leaves
// the database objects: running out of memory becomes E_OUTOFMEMORY, any
// other exception err::kUnspecified with its message. The callers are plain
// C++ and COM code that only look at result codes.
template <typename Result, typename Body>
Result WithoutThrowing(Body&& body) noexcept {
  // "Out of memory" fits a std::string without allocating, so reporting it
  // cannot throw again.
  try {
    try {
      return body();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& error) {
      return Result(Status(err::kUnspecified, error.what()));
    } catch (...) {
      return Result(Status(err::kUnspecified, "Unexpected failure"));
    }
  } catch (...) {
    return Result(Status(hr::kOutOfMemory, "Out of memory"));
  }
}

}  // namespace agendia::db
