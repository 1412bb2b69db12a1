#include "db/sqlite/sqlite_dialect.h"

#include "db/statement_rewrite.h"

namespace agendia::db {

std::string AdaptForSqlite(std::string_view statement) {
  // Dropping the qualifier needs no identifier, so the rewrite cannot fail.
  StatusOr<std::string> adapted = RewriteStatement(statement, {.drop_database_qualifier = true});
  return adapted.ok() ? std::move(*adapted) : std::string(statement);
}

}  // namespace agendia::db
