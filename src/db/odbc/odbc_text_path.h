#pragma once

#include <agendia/status.h>

#include <string_view>

namespace agendia::db {

// How statement text reaches an ODBC driver unchanged. A driver without the
// wide-character entry points gets text the driver manager converts from
// UTF-16 by the host process's locale (unixODBC narrows each unit to its low
// byte when that fails, so U+4E27 arrives as an apostrophe); such a driver
// is given UTF-8 through the narrow entry points instead, which the driver
// manager passes on untouched.
enum class OdbcTextPath {
  kWide,        // UTF-16 through the wide entry points: the driver takes it as it is
  kNarrowUtf8,  // UTF-8 through the narrow entry points: the driver takes the bytes as they are
  kAsciiOnly,   // neither reaches the driver unchanged: only ASCII text is sent
};

// Ok when `statement` (UTF-8) reaches the driver unchanged on `path`;
// otherwise err::kErrorsInCommand with a description that says why it was
// not sent: text that is not valid UTF-8 (no path carries it unchanged), a
// NUL character on the narrow path (the driver reads it as the end), any
// character beyond ASCII where only ASCII survives.
Status CheckStatementText(OdbcTextPath path, std::string_view statement);

}  // namespace agendia::db
