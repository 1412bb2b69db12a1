#include "db/sqlite/sqlite_functions_p.h"

#include "db/new_id.h"

namespace agendia::db {

namespace {

// No exception may cross SQLite's C frames: a failure to allocate the text
// becomes SQLite's out-of-memory error.
void NewIdFunction(sqlite3_context* context, int, sqlite3_value**) noexcept {
  try {
    const std::optional<std::string> id = NewIdText();
    if (!id) {
      sqlite3_result_error(context, "NewID: the system's random source failed", -1);
      return;
    }
    sqlite3_result_text(context, id->data(), int(id->size()), SQLITE_TRANSIENT);
  } catch (...) {
    sqlite3_result_error_nomem(context);
  }
}

}  // namespace

int AddSqlServerFunctions(sqlite3* database) {
  // Not SQLITE_DETERMINISTIC: every call must give a new identifier.
  return sqlite3_create_function_v2(database, "NewID", 0, SQLITE_UTF8, nullptr, &NewIdFunction,
                                    nullptr, nullptr, nullptr);
}

}  // namespace agendia::db
