#include "db/provider_choice.h"

#include "base/date_text.h"
#include "db/object_errors.h"
#include "db/odbc_target.h"
#ifndef AGENDIA_DB_WITHOUT_SQLITE
#include "db/sqlite/sqlite_backend.h"
#endif

#if defined(AGENDIA_WITH_ODBC)
#include "db/odbc/odbc_backend.h"
#endif

#include <string>

namespace agendia::db {

namespace {

StatusOr<const Backend*> Odbc([[maybe_unused]] const std::string& asked) {
#if defined(AGENDIA_WITH_ODBC)
  return &OdbcBackend();
#else
  return ProviderNotFoundError(asked);
#endif
}

StatusOr<const Backend*> EmbeddedSqlite() {
#ifdef AGENDIA_DB_WITHOUT_SQLITE
  return ProviderNotFoundError("SQLite (this build reaches databases through ODBC only)");
#else
  return &SqliteBackend();
#endif
}

}  // namespace

StatusOr<const Backend*> ChooseBackend(const ConnectionString& settings) {
  if (settings.is_bare_path()) return EmbeddedSqlite();

  if (const std::string* provider = settings.Find("Provider")) {
    if (base::LowerCase(base::Trim(*provider)) == "sqlite") return EmbeddedSqlite();
    if (IsSqlServerProvider(*provider) || IsOdbcProvider(*provider)) return Odbc(*provider);
    return ProviderNotFoundError(*provider);
  }
  // ADO's default provider without a Provider key is its ODBC provider.
  if (const std::string* driver = settings.Find("Driver")) return Odbc("ODBC driver " + *driver);
  if (const std::string* source = settings.Find("DSN")) return Odbc("ODBC data source " + *source);
  return Odbc("the connection string names no Provider");
}

}  // namespace agendia::db
