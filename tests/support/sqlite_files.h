#pragma once

#include <agendia/status.h>

#include <filesystem>
#include <string>

namespace agendia::testing {

// SQLite files for tests, made and changed through the SQLite library
// directly, past the component's own database layer.

// Creates the file `path` (when missing) with the host's memo table from
// sql/sqlite/ZA_Message.sql, as the host would.
Status CreateMemoDatabase(const std::filesystem::path& path);

// Runs `sql` (one or more statements) on the existing file `path`.
Status RunSql(const std::filesystem::path& path, const std::string& sql);

// The schema file the databases are made from.
std::filesystem::path MemoTableSqlFile();

}  // namespace agendia::testing
