#include "db/odbc/odbc_cursor_p.h"

#include "db/database.h"
#include "db/odbc/odbc_session_p.h"
#include "db/odbc/wide_text.h"
#include "base/date_text.h"

#include <algorithm>
#include <utility>

namespace agendia::db::odbc {

namespace {

// Room of the first SQLGetData call for a text, in UTF-16 units. A longer
// text is read on in one more call sized from the length the driver
// reports, or in calls of doubling size when it cannot tell: some drivers
// convert the whole value on every call, so many small calls would take
// time that grows with the square of the length.
constexpr size_t kFirstTextUnits = 2048;

void Overwrite(FieldValue& value, FieldValue::Type type) {
  value.type = type;
  value.text.clear();
}

// "2024-03-01 09:30:00.000" as SQL Server's drivers give a datetime: the
// readers use whole seconds.
std::optional<base::DateTime> ReadDateTime(std::string_view text) {
  if (const size_t dot = text.find('.'); dot != std::string_view::npos && dot >= 19) {
    text = text.substr(0, dot);
  }
  return base::ParseDateTime(text);
}

// What the same value's text would read as: the dates this program reads
// (years 100 to 9999), whole seconds. psqlODBC gives "-infinity" as the year
// -9999 and a date before Christ without its era, both outside.
std::optional<base::DateTime> ReadDateTime(const SQL_TIMESTAMP_STRUCT& value) {
  if (value.year < 100 || value.year > 9999 ||
      !base::IsValidDate(value.year, value.month, value.day) || value.hour > 23 ||
      value.minute > 59 || value.second > 59) {
    return std::nullopt;
  }
  return base::DateTime{{value.year, value.month, value.day}, value.hour, value.minute, value.second};
}

// `value` (0 to 10^digits - 1) as `digits` decimal digits at `out`.
void PutDigits(char* out, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) out[i] = char('0' + value % 10);
}

// Servers whose date columns cannot hold anything but dates. SQLite's can
// hold any text, which the driver would turn into a wrong date or a failure.
bool DatesAreTyped(OdbcDialect dialect) {
  return dialect == OdbcDialect::kPostgreSql || dialect == OdbcDialect::kSqlServer;
}

}  // namespace

OdbcCursor::OdbcCursor(OdbcSession& session, std::shared_ptr<Statement> statement)
    : session_(&session), statement_(std::move(statement)), buffer_(kFirstTextUnits, u'\0') {}

OdbcCursor::~OdbcCursor() { Close(); }

Status OdbcCursor::Describe() {
  SQLSMALLINT count = 0;
  if (!Succeeded(SQLNumResultCols(Raw(), &count))) {
    return session_->StatementFailure(Raw());
  }
  columns_.resize(size_t(count));
  cells_.resize(size_t(count));
  const bool typed_dates = DatesAreTyped(session_->dialect());
  for (SQLSMALLINT i = 0; i < count; ++i) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT name_length = 0, type = 0, scale = 0, nullable = 0;
    SQLULEN size = 0;
    if (!Succeeded(SQLDescribeColW(Raw(), SQLUSMALLINT(i + 1), name,
                                   SQLSMALLINT(sizeof name / sizeof name[0]), &name_length, &type,
                                   &size, &scale, &nullable))) {
      return session_->StatementFailure(Raw());
    }
    Column& column = columns_[size_t(i)];
    column.name = Utf16ToUtf8(std::u16string_view(Narrowed(name)));
    switch (type) {
      case SQL_BIT:
      case SQL_TINYINT:
      case SQL_SMALLINT:
      case SQL_INTEGER:
      case SQL_BIGINT:
        column.kind = Kind::kInteger;
        break;
      case SQL_NUMERIC:
      case SQL_DECIMAL:
        column.kind = scale == 0 && size <= 18 ? Kind::kInteger : Kind::kReal;
        break;
      case SQL_REAL:
      case SQL_FLOAT:
      case SQL_DOUBLE:
        column.kind = Kind::kReal;
        break;
      case SQL_TYPE_TIMESTAMP:
      case SQL_TYPE_DATE:
      case SQL_DATETIME:
      case SQL_TIMESTAMP:
        column.kind = typed_dates ? Kind::kTimestamp : Kind::kDateTime;
        break;
      case SQL_BINARY:
      case SQL_VARBINARY:
      case SQL_LONGVARBINARY:
        column.kind = Kind::kBinary;
        break;
      default:
        column.kind = Kind::kText;
        break;
    }
  }
  // Most drivers hold the whole row once it is fetched and hand its columns
  // in any order; some stream them and take each only once, in order.
  SQLUINTEGER extensions = 0;
  if (count > 0 && Succeeded(SQLGetInfo(statement_->link->connection.get(), SQL_GETDATA_EXTENSIONS,
                                        &extensions, SQLSMALLINT(sizeof extensions), nullptr))) {
    any_order_ = (extensions & SQL_GD_ANY_ORDER) != 0;
  }
  return Status::Ok();
}

StatusOr<bool> OdbcCursor::Next() {
  if (!statement_ || finished_) return false;
  // An action statement ran to its end in SQLExecDirect and has no rows.
  if (columns_.empty()) {
    finished_ = true;
    return false;
  }
  const SQLRETURN fetched = SQLFetch(Raw());
  if (fetched == SQL_NO_DATA) {
    // Closing the result at its end frees the server's side at once.
    finished_ = true;
    SQLCloseCursor(Raw());
    return false;
  }
  if (!Succeeded(fetched)) {
    finished_ = true;
    return session_->StatementFailure(Raw());
  }
  ++row_;
  next_unfetched_ = 0;
  return true;
}

Status OdbcCursor::Fetch(size_t index) {
  if (!statement_ || !session_ || finished_) {
    return Status(err::kUnspecified, "The row is no longer available.");
  }
  Status fetched = Status::Ok();
  if (any_order_) {
    fetched = FetchOne(index);
  } else {
    // Every earlier cell is fetched already: the columns are taken in order.
    for (; fetched.ok() && next_unfetched_ <= index; ++next_unfetched_) {
      fetched = FetchOne(next_unfetched_);
    }
  }
  // The driver's state is unknown after a failed fetch: the rows end here.
  if (!fetched.ok()) finished_ = true;
  return fetched;
}

Status OdbcCursor::FetchOne(size_t index) {
  Cell& cell = cells_[index];
  const auto number = SQLUSMALLINT(index + 1);
  SQLLEN indicator = 0;
  SQLRETURN got = SQL_SUCCESS;
  switch (columns_[index].kind) {
    case Kind::kInteger:
      got = SQLGetData(Raw(), number, SQL_C_SBIGINT, &cell.integer, 0, &indicator);
      break;
    case Kind::kReal:
      got = SQLGetData(Raw(), number, SQL_C_DOUBLE, &cell.real, 0, &indicator);
      break;
    case Kind::kBinary:
      AGENDIA_RETURN_IF_ERROR(ReadBinary(number, cell));
      cell.row = row_;
      return Status::Ok();
    case Kind::kTimestamp:
      AGENDIA_RETURN_IF_ERROR(ReadTimestamp(number, cell));
      cell.row = row_;
      return Status::Ok();
    case Kind::kText:
    case Kind::kDateTime:
      AGENDIA_RETURN_IF_ERROR(ReadText(number, cell));
      cell.row = row_;
      return Status::Ok();
  }
  if (!Succeeded(got)) return session_->StatementFailure(Raw());
  cell.null = indicator == SQL_NULL_DATA;
  cell.row = row_;
  return Status::Ok();
}

Status OdbcCursor::ReadText(SQLUSMALLINT number, Cell& cell) {
  cell.text.clear();
  cell.null = false;
  const bool narrow = session_->text_path() == OdbcTextPath::kNarrowUtf8;
  // The terminating zero the driver writes after each piece.
  const size_t terminator = narrow ? 1 : sizeof(char16_t);
  size_t filled = 0;  // bytes of the value read so far
  for (;;) {
    const size_t room = buffer_.size() * sizeof(char16_t) - filled;
    SQLLEN indicator = 0;
    const SQLRETURN got =
        SQLGetData(Raw(), number, narrow ? SQL_C_CHAR : SQL_C_WCHAR,
                   reinterpret_cast<char*>(buffer_.data()) + filled, SQLLEN(room), &indicator);
    if (got == SQL_NO_DATA) break;  // the whole value was read before
    if (!Succeeded(got)) return session_->StatementFailure(Raw());
    if (indicator == SQL_NULL_DATA) {
      cell.null = true;
      return Status::Ok();
    }
    const size_t fits = room - terminator;
    if (indicator != SQL_NO_TOTAL && size_t(indicator) <= fits) {
      filled += size_t(indicator);
      break;
    }
    filled += fits;
    if (got == SQL_SUCCESS) break;
    // Room for the rest at once when the driver says how long it is.
    size_t wanted = buffer_.size() * 2;
    if (indicator != SQL_NO_TOTAL) {
      const size_t rest_units = (size_t(indicator) - fits + terminator + 1) / sizeof(char16_t);
      wanted = std::max(filled / sizeof(char16_t) + rest_units + 1, buffer_.size() + 1);
    }
    buffer_.resize(wanted);
  }
  if (narrow) {
    cell.text = ValidUtf8(std::string(reinterpret_cast<const char*>(buffer_.data()), filled));
  } else {
    AppendUtf16AsUtf8(std::u16string_view(buffer_.data(), filled / sizeof(char16_t)), cell.text);
  }
  return Status::Ok();
}

Status OdbcCursor::ReadTimestamp(SQLUSMALLINT number, Cell& cell) {
  SQL_TIMESTAMP_STRUCT value{};
  SQLLEN indicator = 0;
  if (!Succeeded(SQLGetData(Raw(), number, SQL_C_TYPE_TIMESTAMP, &value, SQLLEN(sizeof value),
                            &indicator))) {
    return session_->StatementFailure(Raw());
  }
  cell.null = indicator == SQL_NULL_DATA;
  if (cell.null) return Status::Ok();
  const std::optional<base::DateTime> date_time = ReadDateTime(value);
  cell.date_time_valid = date_time.has_value();
  if (date_time) {
    cell.date_time = *date_time;
    // Into the cell's own room, which a memo's text would otherwise take
    // anew on every row.
    char text[] = "yyyy-mm-dd hh:mm:ss";
    PutDigits(text, date_time->date.year, 4);
    PutDigits(text + 5, date_time->date.month, 2);
    PutDigits(text + 8, date_time->date.day, 2);
    PutDigits(text + 11, date_time->hour, 2);
    PutDigits(text + 14, date_time->minute, 2);
    PutDigits(text + 17, date_time->second, 2);
    cell.text.assign(text, sizeof text - 1);
  } else {
    cell.text = base::FormatDateTime(
        {{value.year, value.month, value.day}, value.hour, value.minute, value.second});
  }
  return Status::Ok();
}

Status OdbcCursor::ReadBinary(SQLUSMALLINT number, Cell& cell) {
  cell.text.clear();
  cell.null = false;
  char chunk[4096];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN got =
        SQLGetData(Raw(), number, SQL_C_BINARY, chunk, SQLLEN(sizeof chunk), &indicator);
    if (got == SQL_NO_DATA) return Status::Ok();
    if (!Succeeded(got)) return session_->StatementFailure(Raw());
    if (indicator == SQL_NULL_DATA) {
      cell.null = true;
      return Status::Ok();
    }
    const bool whole = indicator != SQL_NO_TOTAL && indicator <= SQLLEN(sizeof chunk);
    cell.text.append(chunk, whole ? size_t(indicator) : sizeof chunk);
    if (whole && got == SQL_SUCCESS) return Status::Ok();
  }
}

Status OdbcCursor::Read(int index, FieldValue& value) {
  const Cell& cell = cells_[size_t(index)];
  if (cell.row != row_) AGENDIA_RETURN_IF_ERROR(Fetch(size_t(index)));
  if (cell.null) {
    Overwrite(value, FieldValue::Type::kNull);
    return Status::Ok();
  }
  switch (columns_[size_t(index)].kind) {
    case Kind::kInteger:
      Overwrite(value, FieldValue::Type::kInteger);
      value.integer = cell.integer;
      return Status::Ok();
    case Kind::kReal:
      Overwrite(value, FieldValue::Type::kReal);
      value.real = cell.real;
      return Status::Ok();
    case Kind::kDateTime:
      Overwrite(value, FieldValue::Type::kText);
      value.text.append(cell.text);
      if (auto date_time = ReadDateTime(cell.text)) {
        value.type = FieldValue::Type::kDateTime;
        value.date_time = *date_time;
      }
      return Status::Ok();
    case Kind::kTimestamp:
      Overwrite(value, cell.date_time_valid ? FieldValue::Type::kDateTime : FieldValue::Type::kText);
      value.text.append(cell.text);
      if (cell.date_time_valid) value.date_time = cell.date_time;
      return Status::Ok();
    case Kind::kText:
    case Kind::kBinary:
      Overwrite(value, FieldValue::Type::kText);
      value.text.append(cell.text);
      return Status::Ok();
  }
  return Status::Ok();
}

void OdbcCursor::Close() {
  if (session_) session_->Forget(*this);
  Detach();
}

void OdbcCursor::Orphan() {
  if (statement_) statement_->link->orphans.push_back(statement_->handle.release());
  Detach();
}

void OdbcCursor::Detach() {
  statement_.reset();
  session_ = nullptr;
}

}  // namespace agendia::db::odbc
