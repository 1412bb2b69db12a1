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

// What a description may say of `part`: its value, unless a bare password
// before it may have run on into it.
std::string Shown(const ConnectionString::Part& part, std::string_view what) {
  if (part.after_bare_password) {
    return std::string(what) + " given after a password that holds ';' (not repeated here: quote "
                               "the password)";
  }
  return part.value;
}

}  // namespace

StatusOr<const Backend*> ChooseBackend(const ConnectionString& settings) {
  if (settings.is_bare_path()) return EmbeddedSqlite();

  if (const ConnectionString::Part* part = settings.FindPart("Provider")) {
    const std::string& provider = part->value;
    if (base::LowerCase(base::Trim(provider)) == "sqlite") return EmbeddedSqlite();
    if (IsSqlServerProvider(provider) || IsOdbcProvider(provider)) return Odbc(Shown(*part, "a Provider"));
    return ProviderNotFoundError(Shown(*part, "a Provider"));
  }
  // ADO's default provider without a Provider key is its ODBC provider.
  if (const ConnectionString::Part* driver = settings.FindPart("Driver")) {
    return Odbc("ODBC driver " + Shown(*driver, "a Driver"));
  }
  if (const ConnectionString::Part* source = settings.FindPart("DSN")) {
    return Odbc("ODBC data source " + Shown(*source, "a DSN"));
  }
  return Odbc("the connection string names no Provider");
}

}  // namespace agendia::db
