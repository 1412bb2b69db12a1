#pragma once

#include <sqlite3.h>

namespace agendia::db {

// Adds to `database` the SQL Server functions the host's statements use and
// SQLite lacks:
//   NewID()   a new random identifier (see new_id.h), a new one each call
// Returns SQLite's result code.
int AddSqlServerFunctions(sqlite3* database);

}  // namespace agendia::db
