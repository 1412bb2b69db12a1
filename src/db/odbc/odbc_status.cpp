#include "db/odbc/odbc_status_p.h"

#include "db/database.h"
#include "db/odbc/wide_text.h"
#include "db/odbc_target.h"

namespace agendia::db::odbc {

int32_t NumberForState(std::string_view state, Stage stage) {
  if (state == "HYT00" || state == "HYT01" || state == "57014") return err::kTimeout;
  if (state.starts_with("23")) return err::kIntegrityViolation;
  if (stage == Stage::kStatement && (state.starts_with("42") || state == "37000" ||
                                     state.starts_with("21") || state.starts_with("22"))) {
    return err::kErrorsInCommand;
  }
  return err::kUnspecified;
}

namespace {

// One diagnostic record: its SQLSTATE and message, or nothing past the last.
bool ReadRecord(SQLSMALLINT handle_type, SQLHANDLE handle, SQLSMALLINT record, bool narrow,
                std::string& sqlstate, std::string& message) {
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (narrow) {
    SQLCHAR state[6] = {};
    SQLCHAR text[2048] = {};
    if (!Succeeded(SQLGetDiagRec(handle_type, handle, record, state, &native, text,
                                 SQLSMALLINT(sizeof text), &length))) {
      return false;
    }
    sqlstate.assign(reinterpret_cast<const char*>(state));
    message = ValidUtf8(reinterpret_cast<const char*>(text));
    return true;
  }
  SQLWCHAR state[6] = {};
  SQLWCHAR text[1024] = {};
  if (!Succeeded(SQLGetDiagRecW(handle_type, handle, record, state, &native, text,
                                SQLSMALLINT(sizeof text / sizeof text[0]), &length))) {
    return false;
  }
  sqlstate = Utf16ToUtf8(std::u16string_view(Narrowed(state)));
  message = Utf16ToUtf8(std::u16string_view(Narrowed(text)));
  return true;
}

}  // namespace

std::string WithoutTrailingBreaks(std::string message) {
  const size_t end = message.find_last_not_of("\r\n\t ");
  message.resize(end == std::string::npos ? 0 : end + 1);
  return message;
}

Status Failure(SQLSMALLINT handle_type, SQLHANDLE handle, Stage stage,
               const std::vector<std::string>& secrets, bool narrow) {
  std::string description;
  std::string information;
  int32_t number = 0;
  for (SQLSMALLINT record = 1; record <= 8; ++record) {
    std::string sqlstate, text;
    if (!ReadRecord(handle_type, handle, record, narrow, sqlstate, text)) break;
    const std::string message = WithoutTrailingBreaks(std::move(text));
    // Information (01xxx) rarely says why the call failed; it is the
    // description only when nothing else is said (unixODBC reports a driver
    // it cannot load so).
    if (sqlstate.starts_with("01")) {
      if (!information.empty()) information += "; ";
      information += message;
      continue;
    }
    const int32_t kind = NumberForState(sqlstate, stage);
    // A time-out outranks what the driver adds after it ("query cancelled").
    if (number == 0 || kind == err::kTimeout) number = kind;
    if (!description.empty()) description += "; ";
    description += message;
  }
  if (number == 0) number = err::kUnspecified;
  if (description.empty()) description = std::move(information);
  if (description.empty()) description = "The ODBC driver reported a failure without a message";
  return Status::Error(number, WithoutSecrets(std::move(description), secrets));
}

}  // namespace agendia::db::odbc
