#include "support/memo_database.h"

#include "support/sqlite_files.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <random>

namespace agendia::testing {
namespace {

struct Handle {
  sqlite3* db = nullptr;
  explicit Handle(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db);
    }
  }
  ~Handle() { sqlite3_close(db); }
};

}  // namespace

MemoDatabase::MemoDatabase() {
  const Status created = CreateMemoDatabase(path());
  EXPECT_TRUE(created.ok()) << created.description();
}

void MemoDatabase::Insert(const MemoRow& row) {
  Handle handle(path());
  sqlite3_stmt* statement = nullptr;
  const char* sql =
      "insert into ZA_Message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
      "dSend, nValidDay, bHasRead, DisplayPeriods, Account, Year) "
      "values (?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?, ?)";
  ASSERT_EQ(sqlite3_prepare_v2(handle.db, sql, -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(handle.db);
  auto text = [&](int index, const std::optional<std::string>& value) {
    if (value) {
      sqlite3_bind_text(statement, index, value->c_str(), static_cast<int>(value->size()),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(statement, index);
    }
  };
  text(1, row.id);
  sqlite3_bind_int(statement, 2, row.type);
  text(3, row.title);
  text(4, row.content);
  text(5, row.sender);
  text(6, row.receiver);
  text(7, row.send);
  if (row.kind) {
    sqlite3_bind_int64(statement, 8, *row.kind);
  } else {
    sqlite3_bind_null(statement, 8);
  }
  text(9, row.account);
  sqlite3_bind_int64(statement, 10, row.year);
  EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(handle.db);
  sqlite3_finalize(statement);
}

void MemoDatabase::Run(const std::string& sql) {
  const Status ran = RunSql(path(), sql);
  EXPECT_TRUE(ran.ok()) << ran.description();
}

std::vector<StoredRow> MemoDatabase::Query(const std::string& sql) {
  Handle handle(path());
  std::vector<StoredRow> rows;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle.db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(handle.db);
    return rows;
  }
  while (sqlite3_step(statement) == SQLITE_ROW) {
    StoredRow row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const auto* value = sqlite3_column_text(statement, i);
      row[sqlite3_column_name(statement, i)] =
          value ? std::optional<std::string>(reinterpret_cast<const char*>(value)) : std::nullopt;
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(statement);
  return rows;
}

std::optional<std::string> RunSqliteShell(const std::string& database, const std::string& sql) {
  const std::filesystem::path script =
      std::filesystem::temp_directory_path() / ("agendia-shell-" + std::to_string(std::random_device()()) + ".sql");
  {
    std::ofstream file(script);
    file << sql;
  }
  const std::string command = "sqlite3 -batch '" + database + "' < '" + script.string() + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe != nullptr) {
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  }
  const int status = pipe != nullptr ? pclose(pipe) : -1;
  std::filesystem::remove(script);
  if (status != 0) return std::nullopt;
  return output;
}

}  // namespace agendia::testing
