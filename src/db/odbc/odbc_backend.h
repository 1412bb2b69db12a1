#pragma once

#include "db/backend.h"

namespace agendia::db {

// Databases reached through the ODBC driver manager (unixODBC, or Windows'
// odbc32): SQL Server through Microsoft's driver or FreeTDS, PostgreSQL
// through psqlODBC, SQLite through its ODBC driver, or any other driver a
// DSN names. The connection string is mapped by MapToOdbc (odbc_target.h);
// the statements are adapted to what the driver reports the database to be
// (odbc_dialect.h). Limits:
//   login      SessionLimits::connection_timeout_seconds, see MapToOdbc
//   statement  SessionLimits::command_timeout_seconds (0: none), kept on the
//              client: cancelled at the time-out, the connection dropped a
//              margin later if the driver still does not return; fails with
//              err::kTimeout. The driver's own query time-out too, but for
//              psqlODBC, whose time-out would override the database's own
//              shorter statement_timeout.
// Text crosses the driver manager unchanged: as UTF-16 through the
// wide-character calls, or as UTF-8 through the narrow ones for a driver
// without wide calls (OdbcTextPath); a statement it would change is refused.
const Backend& OdbcBackend();

// For tests only, which cannot wait the component's 300 seconds: statements
// of every ODBC session run from now on are bounded by at most `seconds`
// (0: no ceiling, the default). Nothing outside the tests calls this.
void SetCommandTimeoutCeilingForTesting(long seconds);

}  // namespace agendia::db
