#pragma once

#include "db/backend.h"
#include "db/connection_string.h"

#include <agendia/status.h>

namespace agendia::db {

// The embedded SQLite backend: the host's database as one SQLite file. The
// keys it reads from the connection string:
//   Data Source    the database file. It must exist: the host creates and
//                  owns it, so a missing file fails instead of being created.
//   Busy Timeout   milliseconds to wait for a lock another connection holds
//                  (optional; see SqliteLockWaitMilliseconds).
const Backend& SqliteBackend();

// How long a statement waits for a lock another connection holds before it
// fails with err::kTimeout. Opening a file takes no time worth bounding, so
// the connection timeout bounds this wait instead:
//   the Busy Timeout key when given (0 means not to wait at all), else
//   ConnectionTimeout seconds when above 0, else
//   kDefaultLockWaitMilliseconds (the host sets ConnectionTimeout 0, and a
//   lock held for longer than that is a stuck writer, not a busy one).
// Fails with err::kUnspecified when Busy Timeout is not a whole number of
// milliseconds.
inline constexpr int kDefaultLockWaitMilliseconds = 5000;
StatusOr<int> SqliteLockWaitMilliseconds(const ConnectionString& settings,
                                         long connection_timeout_seconds);

}  // namespace agendia::db
