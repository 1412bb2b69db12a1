#pragma once

#include "db/odbc/odbc_api_p.h"

#include <agendia/status.h>

#include <string>
#include <vector>

namespace agendia::db::odbc {

// Where a failure happened: a failed login is the host client's "cannot
// connect", a rejected statement its "errors in command".
enum class Stage { kConnect, kStatement };

// The failure behind `result` of the call on `handle`, with the driver's
// diagnostic records as its description (several joined by "; ") and the
// number of the embedded backend for the same kind, read from the SQLSTATE:
//   HYT00, HYT01, 57014 (a statement cancelled by its time-out)  err::kTimeout
//   23xxx (a constraint)                                         err::kIntegrityViolation
//   42xxx, 37000, 21S01, 21S02, 22xxx in a statement             err::kErrorsInCommand
//   anything else (login failed, server unreachable, lost)       err::kUnspecified
// Every secret is masked in the description (WithoutSecrets), and line
// breaks that end a driver's message are left out, so the number the window
// adds follows the text directly. `narrow` reads the records through the
// narrow entry point, as UTF-8, for a driver whose text takes that way
// (OdbcTextPath::kNarrowUtf8): the driver manager would otherwise convert it
// by the process's locale.
Status Failure(SQLSMALLINT handle_type, SQLHANDLE handle, Stage stage,
               const std::vector<std::string>& secrets, bool narrow = false);

// `message` without the line breaks, tabs and spaces at its end.
std::string WithoutTrailingBreaks(std::string message);

// The err:: number for one SQLSTATE (five characters).
int32_t NumberForState(std::string_view state, Stage stage);

}  // namespace agendia::db::odbc
