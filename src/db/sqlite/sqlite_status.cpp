#include "db/sqlite/sqlite_status.h"

#include "db/database.h"

#include <sqlite3.h>

#include <string>

namespace agendia::db {

Status SqliteFailure(int result_code, std::string_view message, SqliteStage stage,
                     bool timed_out, std::string_view file) {
  const auto naming_file = [&] { return std::string(message) + ": " + std::string(file); };
  switch (result_code & 0xff) {
    case SQLITE_INTERRUPT:
      if (timed_out) return Status::Error(err::kTimeout, "Query timeout expired");
      return Status::Error(err::kUnspecified, naming_file());
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Status::Error(err::kTimeout, naming_file());
    case SQLITE_CONSTRAINT:
      return Status::Error(err::kIntegrityViolation, std::string(message));
    case SQLITE_ERROR:
    case SQLITE_MISMATCH:
      if (stage == SqliteStage::kStatement) {
        return Status::Error(err::kErrorsInCommand, std::string(message));
      }
      return Status::Error(err::kUnspecified, naming_file());
    default:
      return Status::Error(err::kUnspecified, naming_file());
  }
}

}  // namespace agendia::db
