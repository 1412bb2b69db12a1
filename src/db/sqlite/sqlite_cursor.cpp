#include "db/sqlite/sqlite_cursor_p.h"

#include "base/date_text.h"

#include <optional>
#include <string_view>
#include <utility>

namespace agendia::db {

namespace {

// True for a declared type such as DATETIME, DATE, TIME or TIMESTAMP: the
// types SQL Server hands over as dates.
bool DeclaresDateOrTime(const char* declared_type) {
  if (!declared_type) return false;
  std::string_view type(declared_type);
  const auto contains = [&](std::string_view word) {
    for (size_t at = 0; at + word.size() <= type.size(); ++at) {
      size_t i = 0;
      while (i < word.size() && (type[at + i] & ~0x20) == word[i]) ++i;
      if (i == word.size()) return true;
    }
    return false;
  };
  return contains("DATE") || contains("TIME");
}

// Sets `value` to a value of `type`, clearing the other members (the text
// keeps its capacity for the next row).
void Overwrite(FieldValue& value, FieldValue::Type type) {
  value.type = type;
  value.integer = 0;
  value.real = 0;
  value.text.clear();
  value.date_time = {};
}

// True for text of the form the host stores dates in, "yyyy-mm-dd hh:mm:ss".
bool HasStoredDateTimeForm(std::string_view text) {
  constexpr std::string_view kForm = "0000-00-00 00:00:00";  // 0: any digit
  if (text.size() != kForm.size()) return false;
  for (size_t i = 0; i < kForm.size(); ++i) {
    const bool matches = kForm[i] == '0' ? text[i] >= '0' && text[i] <= '9' : text[i] == kForm[i];
    if (!matches) return false;
  }
  return true;
}

// The date and time of a stored text. The stored form is read here
// directly, as it comes once per row of every memo list; any other text goes
// to base::ParseDateTime. Both accept the same dates.
std::optional<base::DateTime> ReadDateTime(std::string_view text) {
  if (!HasStoredDateTimeForm(text)) return base::ParseDateTime(text);
  const auto number = [&](size_t at, size_t digits) {
    int n = 0;
    for (size_t i = at; i < at + digits; ++i) n = n * 10 + (text[i] - '0');
    return n;
  };
  const base::DateTime date_time{{number(0, 4), number(5, 2), number(8, 2)},
                                     number(11, 2), number(14, 2), number(17, 2)};
  if (!base::IsValidDate(date_time.date.year, date_time.date.month, date_time.date.day) ||
      date_time.hour > 23 || date_time.minute > 59 || date_time.second > 59) {
    return std::nullopt;
  }
  return date_time;
}

}  // namespace

SqliteCursor::SqliteCursor(SqliteSession& session, StatementHandle statement)
    : session_(&session), statement_(std::move(statement)) {
  const int count = sqlite3_column_count(statement_.get());
  names_.reserve(size_t(count));
  holds_dates_.reserve(size_t(count));
  for (int index = 0; index < count; ++index) {
    const char* name = sqlite3_column_name(statement_.get(), index);
    names_.emplace_back(name ? name : "");
    holds_dates_.push_back(DeclaresDateOrTime(sqlite3_column_decltype(statement_.get(), index)));
  }
}

SqliteCursor::~SqliteCursor() { Close(); }

StatusOr<bool> SqliteCursor::Next() {
  if (!statement_ || finished_) return false;
  session_->StartCommandClock();
  const int stepped = sqlite3_step(statement_.get());
  if (stepped == SQLITE_ROW) return true;

  finished_ = true;
  if (stepped == SQLITE_DONE) {
    // Resetting at the end ends the read transaction, so a recordset read to
    // its end no longer keeps other connections from writing.
    sqlite3_reset(statement_.get());
    return false;
  }
  Status failure = session_->StatementFailure(stepped);
  sqlite3_reset(statement_.get());
  return failure;
}

// Reads through the column's sqlite3_value: one call into SQLite for the
// value instead of one per property. SQLite calls such a value unprotected,
// which matters only to connections shared between threads; a session is
// used by one thread at a time and opened without SQLite's mutex.
// The row is in SQLite's hands already, so reading a column cannot fail.
Status SqliteCursor::Read(int index, FieldValue& value) {
  ReadColumn(index, value);
  return Status::Ok();
}

void SqliteCursor::ReadColumn(int index, FieldValue& value) const {
  sqlite3_value* column = sqlite3_column_value(statement_.get(), index);
  switch (sqlite3_value_type(column)) {
    case SQLITE_INTEGER:
      Overwrite(value, FieldValue::Type::kInteger);
      value.integer = sqlite3_value_int64(column);
      return;
    case SQLITE_FLOAT:
      Overwrite(value, FieldValue::Type::kReal);
      value.real = sqlite3_value_double(column);
      return;
    case SQLITE_TEXT: {
      Overwrite(value, FieldValue::Type::kText);
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(column));
      const int size = sqlite3_value_bytes(column);
      // Appending to the emptied text reuses its buffer, and is the cheapest
      // copy the standard string has.
      if (text) value.text.append(text, size_t(size));
      if (holds_dates_[size_t(index)]) {
        if (auto date_time = ReadDateTime(value.text)) {
          value.type = FieldValue::Type::kDateTime;
          value.date_time = *date_time;
        }
      }
      return;
    }
    case SQLITE_BLOB: {
      Overwrite(value, FieldValue::Type::kText);
      const auto* bytes = static_cast<const char*>(sqlite3_value_blob(column));
      const int size = sqlite3_value_bytes(column);
      if (bytes) value.text.append(bytes, size_t(size));
      return;
    }
    default:
      Overwrite(value, FieldValue::Type::kNull);
      return;
  }
}

void SqliteCursor::Close() {
  if (session_) session_->Forget(*this);
  Detach();
}

void SqliteCursor::Detach() {
  statement_.reset();
  session_ = nullptr;
}

}  // namespace agendia::db
