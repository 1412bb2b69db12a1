#pragma once

#include "db/backend.h"
#include "db/connection_string.h"

#include <agendia/status.h>

namespace agendia::db {

// The backend a connection string asks for. This is the one place that maps
// connection strings to backends:
//   a bare file path                   SQLite on that file
//   Provider=SQLite;Data Source=...    SQLite on that file
// Anything else (another Provider such as SQLOLEDB or MSOLEDBSQL, an ODBC
// Driver= or DSN= string, or no Provider at all) fails with
// err::kProviderNotFound naming what was asked.
StatusOr<const Backend*> ChooseBackend(const ConnectionString& settings);

}  // namespace agendia::db
