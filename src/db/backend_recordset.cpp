#include "db/backend_recordset.h"

#include "base/no_throw.h"
#include "db/backend_connection.h"
#include "db/object_errors.h"

#include <utility>

namespace agendia::db {

namespace {

// Enough for any real select; a caller asking for ever new spellings still
// gets answers, only the later ones are not remembered.
constexpr size_t kMaxKnownColumns = 64;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

Status BackendRecordset::SetActiveConnection(std::shared_ptr<Connection> connection) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (IsOpen()) return ObjectOpenError();
    if (connection && !dynamic_cast<BackendConnection*>(connection.get())) {
      return ConnectionInvalidError();
    }
    Reset();
    connection_ = std::move(connection);
    return Status::Ok();
  });
}

Status BackendRecordset::Open(const std::string& statement) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (IsOpen()) return ObjectOpenError();
    Reset();
    auto* connection = dynamic_cast<BackendConnection*>(connection_.get());
    Session* session = connection ? connection->session() : nullptr;
    if (!session) return ConnectionInvalidError();
    AGENDIA_RETURN_IF_ERROR(RefuseNulCharacter(statement));

    StatusOr<std::unique_ptr<Cursor>> cursor = session->Query(statement);
    if (!cursor.ok()) return cursor.status();
    cursor_ = std::move(*cursor);

    if (cursor_->ColumnCount() == 0) {
      // An action statement: it runs to its end and there is nothing to read.
      for (;;) {
        StatusOr<bool> row = cursor_->Next();
        if (!row.ok() || !*row) {
          Reset();
          return row.ok() ? Status::Ok() : row.status();
        }
      }
    }

    StatusOr<bool> first = cursor_->Next();
    if (!first.ok()) {
      Reset();
      return first.status();
    }
    at_end_ = !*first;
    return Status::Ok();
  });
}

StatusOr<bool> BackendRecordset::EndOfFile() const {
  if (!IsOpen()) return base::CallWithoutThrowing<Status>({}, [] { return ObjectClosedError(); });
  return at_end_;
}

Status BackendRecordset::ReadValue(std::string_view column, FieldValue& value) const {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (!IsOpen()) return ObjectClosedError();
    const int index = FindColumn(column);
    if (index < 0) return ItemNotFoundError(column);
    if (at_end_) return NoCurrentRecordError();
    return cursor_->Read(index, value);
  });
}

Status BackendRecordset::MoveNext() {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (!IsOpen()) return ObjectClosedError();
    if (at_end_) return NoCurrentRecordError();
    StatusOr<bool> row = cursor_->Next();
    if (!row.ok()) {
      // The statement failed mid-way: there is no current row any more.
      at_end_ = true;
      return row.status();
    }
    at_end_ = !*row;
    return Status::Ok();
  });
}

int BackendRecordset::State() const { return IsOpen() ? kStateOpen : kStateClosed; }

Status BackendRecordset::Close() {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    const bool was_open = IsOpen();
    Reset();
    return was_open ? Status::Ok() : ObjectClosedError();
  });
}

int BackendRecordset::FindColumn(std::string_view name) const {
  const size_t known = known_columns_.size();
  // Most lookups end at the first comparison: the name the caller asks for
  // next is the one after the name it asked for last.
  size_t at = next_known_column_ < known ? next_known_column_ : 0;
  for (size_t tried = 0; tried < known; ++tried) {
    if (known_columns_[at].asked == name) {
      next_known_column_ = at + 1;
      return known_columns_[at].index;
    }
    if (++at == known) at = 0;
  }

  const int count = cursor_->ColumnCount();
  for (int index = 0; index < count; ++index) {
    if (!EqualIgnoringCase(cursor_->ColumnName(index), name)) continue;
    if (known < kMaxKnownColumns) {
      known_columns_.push_back({std::string(name), index});
      next_known_column_ = known + 1;
    }
    return index;
  }
  return -1;
}

void BackendRecordset::Reset() {
  if (cursor_) cursor_->Close();
  cursor_.reset();
  at_end_ = true;
  known_columns_.clear();
  next_known_column_ = 0;
}

}  // namespace agendia::db
