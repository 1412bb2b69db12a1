#pragma once

#include "db/backend.h"

#include <agendia/status.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace agendia::db {

class SqliteCursor;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// One open SQLite file. The session knows its open cursors: Close finalizes
// their statements first and only then closes the file, so closing never
// leaves a statement, a lock or a file handle behind, and a cursor used after
// its session closed reads as closed instead of touching freed memory.
class SqliteSession final : public Session {
 public:
  // Opens the existing file `path` for reading and writing (never creating
  // it), waits up to `lock_wait_milliseconds` for locks, and reads the schema
  // once so a file that is not a database fails here. The journal mode stays
  // as the host set it.
  static StatusOr<std::unique_ptr<Session>> Open(const std::string& path,
                                                 int lock_wait_milliseconds,
                                                 long command_timeout_seconds);
  ~SqliteSession() override;
  SqliteSession(const SqliteSession&) = delete;
  SqliteSession& operator=(const SqliteSession&) = delete;

  void SetCommandTimeout(long seconds) override;
  Status Execute(const std::string& statement) override;
  long RowsAffected() const override { return rows_affected_; }
  bool InProcess() const override { return true; }
  StatusOr<std::unique_ptr<Cursor>> Query(const std::string& statement) override;
  void Close() override;

  // For the cursors of this session.
  // Starts the time limit of one call into SQLite that runs a statement.
  void StartCommandClock() {
    ++command_number_;
    timed_out_ = false;
  }
  // The failure of the last statement call, which returned `result_code`.
  Status StatementFailure(int result_code) const;
  // A cursor that closes itself leaves the session's list.
  void Forget(const SqliteCursor& cursor);

 private:
  explicit SqliteSession(std::string path) : path_(std::move(path)) {}

  Status OpenFile(int lock_wait_milliseconds);
  Status ReadSchema();
  // Prepares the first statement of text[0, length); `statement` stays null
  // when there is only space or comment. `tail` points past what was read.
  Status Prepare(const char* text, size_t length, StatementHandle& statement, const char** tail);
  static int OnProgress(void* session);

  std::string path_;
  sqlite3* database_ = nullptr;
  std::vector<SqliteCursor*> cursors_;
  long rows_affected_ = 0;  // by the last Execute

  // The command timeout. SQLite calls OnProgress every few hundred
  // instructions of a running statement; the first call of each command
  // notes the time, a later one past the limit interrupts the statement.
  // Short statements never reach the clock at all.
  std::chrono::steady_clock::duration command_timeout_{};
  uint64_t command_number_ = 0;
  uint64_t clocked_command_ = 0;
  std::chrono::steady_clock::time_point command_started_;
  bool timed_out_ = false;
};

}  // namespace agendia::db
