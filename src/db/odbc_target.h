#pragma once

#include "db/connection_string.h"
#include "db/secret_masking.h"

#include <agendia/status.h>

#include <string>
#include <vector>

namespace agendia::db {

// The host's connection string as the ODBC driver manager takes it. The
// forms (see src/db/README.md for the whole table):
//   Provider=SQLOLEDB[.1], SQLNCLI[10|11][.1], MSOLEDBSQL[19][.1]
//       SQL Server: Data Source (host, host,port, tcp:host,port,
//       host\instance, (local), .), Initial Catalog or Database, User ID and
//       Password, Integrated Security=SSPI|true|yes, Encrypt and
//       TrustServerCertificate, Driver= to choose the driver. Persist
//       Security Info and other keys of the OLE DB providers are dropped.
//       np:, lpc: and (localdb) fail: they cannot be reached from here.
//   Provider=MSDASQL[.1], or no Provider at all
//       passed on as it is, less the keys only ADO reads (Provider, Connect
//       Timeout); User ID and Password become UID and PWD.
// In every form Connect Timeout (or Connection Timeout) above 0 is the login
// time-out in seconds; otherwise the connection's ConnectionTimeout when
// above 0; otherwise kDefaultLoginTimeoutSeconds, so that no login waits
// without end for a server that accepts and never answers.
inline constexpr long kDefaultLoginTimeoutSeconds = 15;

struct OdbcTarget {
  // For SQLDriverConnect.
  std::string connection_string;
  long login_timeout_seconds = kDefaultLoginTimeoutSeconds;
  // Values that must never appear in a message: the password.
  std::vector<std::string> secrets;
};

// True for the Provider values that mean SQL Server (any letter case).
bool IsSqlServerProvider(std::string_view provider);
// True for Provider=MSDASQL, ADO's provider for ODBC drivers.
bool IsOdbcProvider(std::string_view provider);

// Maps `settings` for the driver manager. `installed_drivers` are the driver
// names the driver manager knows; the best SQL Server driver among them is
// taken when the string names none: Microsoft's "ODBC Driver NN for SQL
// Server" (highest NN), then "SQL Server Native Client", then FreeTDS, then
// Windows' own "SQL Server". With FreeTDS, TDS_Version=7.4 (without it the
// login time-out is not kept) and ClientCharset=UTF-8 (without it Chinese
// text comes back as '?') are added unless the string sets them.
// Fails with err::kUnspecified for a form that cannot be reached (naming
// it), a bad port or time-out, and err::kProviderNotFound when no SQL Server
// driver is installed. Never puts the password into a description.
StatusOr<OdbcTarget> MapToOdbc(const ConnectionString& settings, long connection_timeout_seconds,
                               const std::vector<std::string>& installed_drivers);

}  // namespace agendia::db
