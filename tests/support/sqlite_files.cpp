#include "support/sqlite_files.h"

#include <sqlite3.h>

#include <fstream>
#include <sstream>

namespace agendia::testing {

namespace {

Status Exec(const std::filesystem::path& path, const std::string& sql, int open_flags) {
  sqlite3* database = nullptr;
  char* message = nullptr;
  int result = sqlite3_open_v2(path.c_str(), &database, open_flags, nullptr);
  // Tests need no protection against power loss; skipping the syncs keeps
  // them fast.
  if (result == SQLITE_OK) {
    result = sqlite3_exec(database, "PRAGMA synchronous=OFF", nullptr, nullptr, &message);
  }
  if (result == SQLITE_OK) result = sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &message);
  Status outcome;
  if (result != SQLITE_OK) {
    const std::string why = message    ? message
                            : database ? sqlite3_errmsg(database)
                                       : sqlite3_errstr(result);
    outcome = Status::Fail(why + ": " + path.string());
  }
  sqlite3_free(message);
  sqlite3_close(database);
  return outcome;
}

}  // namespace

std::filesystem::path MemoTableSqlFile() {
  return std::filesystem::path(AGENDIA_SQL_DIR) / "sqlite" / "ZA_Message.sql";
}

Status CreateMemoDatabase(const std::filesystem::path& path) {
  std::ifstream file(MemoTableSqlFile());
  if (!file) return Status::Fail("cannot read " + MemoTableSqlFile().string());
  std::stringstream ddl;
  ddl << file.rdbuf();
  return Exec(path, ddl.str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

Status RunSql(const std::filesystem::path& path, const std::string& sql) {
  return Exec(path, sql, SQLITE_OPEN_READWRITE);
}

}  // namespace agendia::testing
