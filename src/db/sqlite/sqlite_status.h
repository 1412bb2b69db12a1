#pragma once

#include <agendia/status.h>

#include <string_view>

namespace agendia::db {

// Where in a session's life an SQLite call failed.
enum class SqliteStage {
  kOpen,       // opening the file and reading its schema
  kStatement,  // preparing or running a statement
};

// The one mapping of SQLite result codes to the client's error numbers:
//   BUSY, LOCKED (a lock not freed in time)  err::kTimeout, "database is locked: <file>"
//   INTERRUPT by the command timeout         err::kTimeout, "Query timeout expired"
//   CONSTRAINT                               err::kIntegrityViolation
//   ERROR, MISMATCH of a statement           err::kErrorsInCommand (syntax, no such
//                                            table or column, ...)
//   everything else (CANTOPEN, NOTADB,       err::kUnspecified, "<message>: <file>"
//   CORRUPT, IOERR, PERM, READONLY, ...)
// `message` is SQLite's own; `file` the database file, named where it helps.
Status SqliteFailure(int result_code, std::string_view message, SqliteStage stage,
                     bool timed_out, std::string_view file);

}  // namespace agendia::db
