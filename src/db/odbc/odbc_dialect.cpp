#include "db/odbc/odbc_dialect.h"

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
    case OdbcDialect::kOther:
      break;
  }
  return std::string(statement);
}

}  // namespace agendia::db
