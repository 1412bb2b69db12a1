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
//   statement  SessionLimits::command_timeout_seconds as the query time-out
//              of every statement (0: none); one that runs longer fails with
//              err::kTimeout
// Text crosses the driver manager as UTF-16 through the wide-character calls.
const Backend& OdbcBackend();

// For tests only, which cannot wait the component's 300 seconds: statements
// of every ODBC session run from now on are bounded by at most `seconds`
// (0: no ceiling, the default). Nothing outside the tests calls this.
void SetCommandTimeoutCeilingForTesting(long seconds);

}  // namespace agendia::db
