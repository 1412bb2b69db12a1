#include "db/odbc/odbc_backend.h"

#include "db/connection_string.h"
#include "db/odbc/odbc_api_p.h"
#include "db/odbc/odbc_session_p.h"
#include "db/odbc/wide_text.h"
#include "db/odbc_target.h"

#include <cstdint>
#include <string>
#include <vector>

namespace agendia::db {

namespace {

// The driver names the driver manager knows, to pick a SQL Server driver.
std::vector<std::string> InstalledDrivers() {
  std::vector<std::string> names;
  odbc::EnvironmentHandle environment;
  if (!odbc::Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment.out()))) {
    return names;
  }
  SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(SQL_OV_ODBC3)), 0);
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLWCHAR name[256] = {};
    SQLWCHAR attributes[2048] = {};
    SQLSMALLINT name_length = 0, attributes_length = 0;
    const SQLRETURN got =
        SQLDriversW(environment.get(), direction, name, SQLSMALLINT(sizeof name / sizeof name[0]),
                    &name_length, attributes, SQLSMALLINT(sizeof attributes / sizeof attributes[0]),
                    &attributes_length);
    if (!odbc::Succeeded(got)) break;
    names.push_back(Utf16ToUtf8(std::u16string_view(odbc::Narrowed(name))));
    direction = SQL_FETCH_NEXT;
  }
  return names;
}

class OdbcBackendImpl final : public Backend {
 public:
  StatusOr<std::unique_ptr<Session>> Open(const ConnectionString& settings,
                                          const SessionLimits& limits) const override {
    StatusOr<OdbcTarget> target =
        MapToOdbc(settings, limits.connection_timeout_seconds, InstalledDrivers());
    if (!target.ok()) return target.status();
    return odbc::OdbcSession::Open(*target, limits.command_timeout_seconds);
  }
};

}  // namespace

void SetCommandTimeoutCeilingForTesting(long seconds) { odbc::SetCommandTimeoutCeiling(seconds); }

const Backend& OdbcBackend() {
  static const OdbcBackendImpl backend;
  return backend;
}

}  // namespace agendia::db
