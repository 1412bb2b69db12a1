#include "db/provider_choice.h"

#include "base/date_text.h"
#include "db/object_errors.h"
#include "db/sqlite/sqlite_backend.h"

#include <string>

namespace agendia::db {

StatusOr<const Backend*> ChooseBackend(const ConnectionString& settings) {
  if (settings.is_bare_path()) return &SqliteBackend();

  if (const std::string* provider = settings.Find("Provider")) {
    if (base::LowerCase(*provider) == "sqlite") return &SqliteBackend();
    return ProviderNotFoundError(*provider);
  }
  // Without a Provider the host's client goes through ODBC, which this build
  // does not have.
  if (const std::string* driver = settings.Find("Driver")) {
    return ProviderNotFoundError("ODBC driver " + *driver);
  }
  if (const std::string* source = settings.Find("DSN")) {
    return ProviderNotFoundError("ODBC data source " + *source);
  }
  return ProviderNotFoundError("the connection string names no Provider");
}

}  // namespace agendia::db
