#pragma once

#include "db/backend.h"
#include "db/connection_string.h"

#include <agendia/status.h>

namespace agendia::db {

// The backend a connection string asks for. This is the one place that maps
// connection strings to backends (src/db/README.md has the table):
//   a bare file path, Provider=SQLite      the embedded SQLite backend
//   Provider=SQLOLEDB, SQLNCLI, MSOLEDBSQL  ODBC, to SQL Server (the string
//                                           mapped by MapToOdbc, odbc_target.h)
//   Provider=MSDASQL, or no Provider        ODBC, the string passed on
// Any other Provider fails with err::kProviderNotFound naming it; so does
// every ODBC form in a build without ODBC.
StatusOr<const Backend*> ChooseBackend(const ConnectionString& settings);

}  // namespace agendia::db
