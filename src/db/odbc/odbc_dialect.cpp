#include "db/odbc/odbc_dialect.h"

#include "db/sqlserver_literals.h"
#include "db/statement_rewrite.h"
#include "base/date_text.h"

namespace agendia::db {

OdbcDialect DialectOfDbms(std::string_view dbms_name) {
  const std::string name = base::LowerCase(dbms_name);
  if (name.find("sql server") != std::string::npos) return OdbcDialect::kSqlServer;
  if (name.find("postgres") != std::string::npos) return OdbcDialect::kPostgreSql;
  if (name.find("sqlite") != std::string::npos) return OdbcDialect::kSqlite;
  return OdbcDialect::kOther;
}

StatusOr<std::string> AdaptForDialect(OdbcDialect dialect, std::string_view statement) {
  switch (dialect) {
    case OdbcDialect::kPostgreSql:
      return RewriteStatement(statement, {.drop_database_qualifier = true,
                                          .unbracket_names = true,
                                          .new_id_as_literal = true,
                                          .nested_comments = true});
    case OdbcDialect::kSqlite:
      return RewriteStatement(statement, {.drop_database_qualifier = true,
                                          .new_id_as_literal = true,
                                          .bom_is_space = true});
    case OdbcDialect::kSqlServer:
      return WriteLiteralsForSqlServer(statement);
    case OdbcDialect::kOther:
      break;
  }
  return std::string(statement);
}

long QueryTimeoutForDriver(std::string_view driver_name, long command_timeout_seconds) {
  const std::string name = base::LowerCase(driver_name);
  const bool freetds = name.find("tdsodbc") != std::string::npos ||
                       name.find("freetds") != std::string::npos;
  if (!freetds || command_timeout_seconds <= 0) return command_timeout_seconds;
  return (command_timeout_seconds + 1) / 2;
}

}  // namespace agendia::db
