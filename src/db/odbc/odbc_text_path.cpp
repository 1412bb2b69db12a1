#include "db/odbc/odbc_text_path.h"

#include "db/database.h"
#include "db/odbc/wide_text.h"

#include <algorithm>
#include <string>

namespace agendia::db {

namespace {

Status NotSent(const std::string& why) {
  return Status::Error(err::kErrorsInCommand,
                       "The statement was not sent: " + why +
                           ", so the database would not receive it as written");
}

}  // namespace

Status CheckStatementText(OdbcTextPath path, std::string_view statement) {
  if (!IsValidUtf8(statement)) return NotSent("its text is not valid UTF-8");
  switch (path) {
    case OdbcTextPath::kWide:
      return Status::Ok();
    case OdbcTextPath::kNarrowUtf8:
      if (statement.find('\0') != std::string_view::npos) {
        return NotSent("its text holds a NUL character, which the ODBC driver reads as its end");
      }
      return Status::Ok();
    case OdbcTextPath::kAsciiOnly:
      if (std::any_of(statement.begin(), statement.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return NotSent(
            "its text holds characters beyond ASCII, and the ODBC driver manager would change them "
            "on the way to this driver in this process's locale");
      }
      return Status::Ok();
  }
  return Status::Ok();
}

}  // namespace agendia::db
