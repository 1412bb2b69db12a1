#pragma once

#include <agendia/status.h>

#include <string>
#include <string_view>

namespace agendia::db {

// The database behind an ODBC connection, as its driver names it
// (SQL_DBMS_NAME), never as the connection string suggests.
enum class OdbcDialect {
  kSqlServer,   // "Microsoft SQL Server": literals as WriteLiteralsForSqlServer writes them
  kPostgreSql,  // "PostgreSQL": no database qualifier, [Year] as Year, NewID() as a literal
  kSqlite,      // "SQLite": no database qualifier, NewID() as a literal
  kOther,       // anything else: as composed, and the database says what it cannot read
};

OdbcDialect DialectOfDbms(std::string_view dbms_name);

// The host's statement as the dialect's database reads it, with the same
// meaning; see StatementRewrite for what is never touched. Fails only when a
// new identifier cannot be made.
StatusOr<std::string> AdaptForDialect(OdbcDialect dialect, std::string_view statement);

// The query time-out to give the driver named `driver_name` (SQL_DRIVER_NAME)
// so that no statement waits longer than `command_timeout_seconds` in all.
// FreeTDS sends its cancel when the query time-out expires and then waits as
// long again for the cancel's answer, so it gets half (at least 1 second);
// other drivers get the command time-out itself. 0 (no limit) stays 0.
long QueryTimeoutForDriver(std::string_view driver_name, long command_timeout_seconds);

}  // namespace agendia::db
