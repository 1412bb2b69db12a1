#pragma once

#include <agendia/status.h>

#include <string>
#include <string_view>

namespace agendia::db {

// The database behind an ODBC connection, as its driver names it
// (SQL_DBMS_NAME), never as the connection string suggests.
enum class OdbcDialect {
  kSqlServer,   // "Microsoft SQL Server": the statements as composed, byte for byte
  kPostgreSql,  // "PostgreSQL": no database qualifier, [Year] as Year, NewID() as a literal
  kSqlite,      // "SQLite": no database qualifier, NewID() as a literal
  kOther,       // anything else: as composed, and the database says what it cannot read
};

OdbcDialect DialectOfDbms(std::string_view dbms_name);

// The host's statement as the dialect's database reads it, with the same
// meaning; see StatementRewrite for what is never touched. Fails only when a
// new identifier cannot be made.
StatusOr<std::string> AdaptForDialect(OdbcDialect dialect, std::string_view statement);

}  // namespace agendia::db
