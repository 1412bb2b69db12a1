#include "db/sqlite/sqlite_backend.h"

#include "db/database.h"
#include "db/sqlite/sqlite_session_p.h"

#include <climits>
#include <string>

namespace agendia::db {

namespace {

bool IsUri(const std::string& path) {
  constexpr std::string_view kScheme = "file:";
  if (path.size() < kScheme.size()) return false;
  for (size_t i = 0; i < kScheme.size(); ++i) {
    const char c = path[i] >= 'A' && path[i] <= 'Z' ? char(path[i] - 'A' + 'a') : path[i];
    if (c != kScheme[i]) return false;
  }
  return true;
}

class SqliteFileBackend final : public Backend {
 public:
  StatusOr<std::unique_ptr<Session>> Open(const ConnectionString& settings,
                                          const SessionLimits& limits) const override {
    const std::string* path = settings.Find("Data Source");
    if (!path || path->empty()) {
      return Status::Error(err::kUnspecified,
                           "The connection string names no database file (Data Source)");
    }
    // SQLite would read "file:..." as a URI whose options (nolock=1,
    // immutable=1, mode=ro ...) switch off its locking or writing; four
    // writers without locks corrupt the file. The data source is a path.
    if (IsUri(*path)) {
      return Status::Error(err::kUnspecified,
                           "The Data Source must be a file path: SQLite URIs (file:...) are not accepted");
    }
    StatusOr<int> lock_wait = SqliteLockWaitMilliseconds(settings, limits.connection_timeout_seconds);
    if (!lock_wait.ok()) return lock_wait.status();
    return SqliteSession::Open(*path, *lock_wait, limits.command_timeout_seconds);
  }
};

}  // namespace

const Backend& SqliteBackend() {
  static const SqliteFileBackend backend;
  return backend;
}

StatusOr<int> SqliteLockWaitMilliseconds(const ConnectionString& settings,
                                         long connection_timeout_seconds) {
  if (const std::string* busy_timeout = settings.Find("Busy Timeout")) {
    long long milliseconds = 0;
    bool valid = !busy_timeout->empty();
    for (char c : *busy_timeout) {
      if (c < '0' || c > '9' || milliseconds > INT_MAX) {
        valid = false;
        break;
      }
      milliseconds = milliseconds * 10 + (c - '0');
    }
    if (!valid || milliseconds > INT_MAX) {
      return Status::Error(err::kUnspecified, "Busy Timeout must be a whole number of milliseconds");
    }
    return static_cast<int>(milliseconds);
  }
  if (connection_timeout_seconds > 0) {
    return connection_timeout_seconds >= INT_MAX / 1000
               ? INT_MAX
               : static_cast<int>(connection_timeout_seconds * 1000);
  }
  return kDefaultLockWaitMilliseconds;
}

}  // namespace agendia::db
