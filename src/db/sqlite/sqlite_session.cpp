#include "db/sqlite/sqlite_session_p.h"

#include "db/database.h"
#include "db/sqlite/sqlite_cursor_p.h"
#include "db/sqlite/sqlite_dialect.h"
#include "db/sqlite/sqlite_functions_p.h"
#include "db/sqlite/sqlite_status.h"

#include <algorithm>
#include <climits>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace agendia::db {

namespace {

// Instructions between two looks at the clock: often enough to stop within
// a millisecond or so, rare enough to cost nothing measurable.
constexpr int kInstructionsPerClockCheck = 1000;

}  // namespace

StatusOr<std::unique_ptr<Session>> SqliteSession::Open(const std::string& path,
                                                       int lock_wait_milliseconds,
                                                       long command_timeout_seconds) {
  std::unique_ptr<SqliteSession> session(new SqliteSession(path));
  AGENDIA_RETURN_IF_ERROR(session->OpenFile(lock_wait_milliseconds));
  session->SetCommandTimeout(command_timeout_seconds);
  AGENDIA_RETURN_IF_ERROR(session->ReadSchema());
  return std::unique_ptr<Session>(std::move(session));
}

SqliteSession::~SqliteSession() { Close(); }

Status SqliteSession::OpenFile(int lock_wait_milliseconds) {
  // Never SQLITE_OPEN_CREATE: the host owns the database, and a wrong path
  // must fail rather than leave an empty file behind. One thread uses a
  // connection at a time, so SQLite's own mutex is not needed.
  const int opened = sqlite3_open_v2(path_.c_str(), &database_,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (opened != SQLITE_OK) {
    const std::string message = database_ ? sqlite3_errmsg(database_) : sqlite3_errstr(opened);
    return SqliteFailure(opened, message, SqliteStage::kOpen, false, path_);
  }
  sqlite3_busy_timeout(database_, lock_wait_milliseconds);
  // A connection lives for one action of the window: it reads one list, in
  // the order of an index, or writes a memo or two. SQLite's default page
  // cache of 2 MiB would be memory touched for the first time, page after
  // page, each page a fault for the system to serve (some 10 us in a
  // virtual machine), to hold pages such a read uses once. A quarter of a
  // MiB holds every page one of these actions uses at a time, and is far
  // more than a one-memo write dirties, so no write spills before its
  // commit. A pragma that cannot fail on an open connection; were it
  // refused, the default would only cost time.
  sqlite3_exec(database_, "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);
  const int added = AddSqlServerFunctions(database_);
  if (added != SQLITE_OK) {
    return SqliteFailure(added, sqlite3_errmsg(database_), SqliteStage::kOpen, false, path_);
  }
  return Status::Ok();
}

// SQLite reads the file lazily; reading the schema here makes a file that is
// not a database (or is locked past the wait) fail at Open, as the host's
// client fails to connect.
Status SqliteSession::ReadSchema() {
  StartCommandClock();
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare_v2(database_, "SELECT count(*) FROM sqlite_master", -1, &raw, nullptr);
  StatementHandle statement(raw);
  if (result == SQLITE_OK) result = sqlite3_step(statement.get());
  if (result == SQLITE_ROW || result == SQLITE_DONE) return Status::Ok();
  return SqliteFailure(result, sqlite3_errmsg(database_), SqliteStage::kOpen, timed_out_, path_);
}

void SqliteSession::SetCommandTimeout(long seconds) {
  command_timeout_ = seconds > 0 ? std::chrono::steady_clock::duration(std::chrono::seconds(seconds))
                                 : std::chrono::steady_clock::duration::zero();
  if (!database_) return;
  if (seconds > 0) {
    sqlite3_progress_handler(database_, kInstructionsPerClockCheck, &SqliteSession::OnProgress, this);
  } else {
    sqlite3_progress_handler(database_, 0, nullptr, nullptr);
  }
}

int SqliteSession::OnProgress(void* session) {
  auto& self = *static_cast<SqliteSession*>(session);
  const auto now = std::chrono::steady_clock::now();
  if (self.clocked_command_ != self.command_number_) {
    self.clocked_command_ = self.command_number_;
    self.command_started_ = now;
    return 0;
  }
  if (now - self.command_started_ < self.command_timeout_) return 0;
  self.timed_out_ = true;
  return 1;  // SQLite stops the statement with SQLITE_INTERRUPT
}

Status SqliteSession::Prepare(const char* text, size_t length, StatementHandle& statement,
                              const char** tail) {
  if (length > size_t(INT_MAX)) {
    return Status::Error(err::kErrorsInCommand, "The statement is too long");
  }
  sqlite3_stmt* raw = nullptr;
  const int prepared = sqlite3_prepare_v2(database_, text, int(length), &raw, tail);
  statement.reset(raw);
  if (prepared != SQLITE_OK) return StatementFailure(prepared);
  return Status::Ok();
}

Status SqliteSession::Execute(const std::string& statement) {
  rows_affected_ = 0;
  const sqlite3_int64 changes_before = sqlite3_total_changes64(database_);
  const std::string text = AdaptForSqlite(statement);
  const char* next = text.data();
  const char* const end = next + text.size();
  // The time limit covers the whole call, as it does for the host's client.
  StartCommandClock();
  while (next < end) {
    StatementHandle prepared;
    const char* tail = nullptr;
    AGENDIA_RETURN_IF_ERROR(Prepare(next, size_t(end - next), prepared, &tail));
    if (!tail || tail <= next) break;
    next = tail;
    if (!prepared) continue;  // an empty statement: a lone ';' or a comment

    int stepped = SQLITE_ROW;
    while (stepped == SQLITE_ROW) stepped = sqlite3_step(prepared.get());
    if (stepped != SQLITE_DONE) return StatementFailure(stepped);
  }
  rows_affected_ = static_cast<long>(sqlite3_total_changes64(database_) - changes_before);
  return Status::Ok();
}

StatusOr<std::unique_ptr<Cursor>> SqliteSession::Query(const std::string& statement) {
  const std::string text = AdaptForSqlite(statement);
  const char* const end = text.data() + text.size();
  StartCommandClock();

  StatementHandle prepared;
  const char* tail = nullptr;
  AGENDIA_RETURN_IF_ERROR(Prepare(text.data(), text.size(), prepared, &tail));
  if (!prepared) return Status::Error(err::kErrorsInCommand, "The statement is empty");

  // A recordset reads one statement. Anything after it that is more than
  // space or comment is refused rather than silently left out.
  if (tail && tail < end) {
    StatementHandle second;
    const char* after = nullptr;
    AGENDIA_RETURN_IF_ERROR(Prepare(tail, size_t(end - tail), second, &after));
    if (second) {
      return Status::Error(err::kErrorsInCommand,
                           "A recordset can be opened on one statement only");
    }
  }

  // Room first, so that registering the cursor cannot fail once it exists.
  cursors_.reserve(cursors_.size() + 1);
  auto cursor = std::make_unique<SqliteCursor>(*this, std::move(prepared));
  cursors_.push_back(cursor.get());
  return std::unique_ptr<Cursor>(std::move(cursor));
}

Status SqliteSession::StatementFailure(int result_code) const {
  return SqliteFailure(result_code, sqlite3_errmsg(database_), SqliteStage::kStatement, timed_out_,
                       path_);
}

void SqliteSession::Forget(const SqliteCursor& cursor) {
  cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), &cursor), cursors_.end());
}

void SqliteSession::Close() {
  for (SqliteCursor* cursor : cursors_) cursor->Detach();
  cursors_.clear();
  if (!database_) return;
  // With every statement finalized this closes at once; the _v2 form is only
  // a guard so that the handle can never leak.
  if (sqlite3_close(database_) != SQLITE_OK) sqlite3_close_v2(database_);
  database_ = nullptr;
#if defined(__GLIBC__)
  // The connection's page cache (up to 2 MiB) and the buffers of its reads
  // are back in the heap now, scattered between memory still in use, where
  // glibc keeps them resident. A window holds no connection between
  // actions, so this memory would only sit there until the next one.
  malloc_trim(0);
#endif
}

}  // namespace agendia::db
