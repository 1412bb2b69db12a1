#pragma once

#include "db/backend.h"
#include "db/sqlite/sqlite_session_p.h"

#include <string>
#include <vector>

namespace agendia::db {

// The rows of one prepared SQLite statement. Values come over as the host's
// SQL Server client hands them: INTEGER, REAL and TEXT as such, NULL as
// null, BLOB as text of its bytes, and the text of a column declared as a
// date or time (DATETIME, DATE, TIMESTAMP, ...) as a date and time when it
// reads as one (see base::ParseDateTime), its text kept beside it.
class SqliteCursor final : public Cursor {
 public:
  SqliteCursor(SqliteSession& session, StatementHandle statement);
  ~SqliteCursor() override;
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  bool IsOpen() const override { return statement_ != nullptr; }
  int ColumnCount() const override { return static_cast<int>(names_.size()); }
  const std::string& ColumnName(int index) const override { return names_[size_t(index)]; }
  StatusOr<bool> Next() override;
  Status Read(int index, FieldValue& value) override;
  void Close() override;

  // Called by the session as it closes: finalizes the statement without
  // telling the session back.
  void Detach();

 private:
  void ReadColumn(int index, FieldValue& value) const;

  SqliteSession* session_;
  StatementHandle statement_;
  std::vector<std::string> names_;
  std::vector<unsigned char> holds_dates_;  // per column: declared as a date or time
  bool finished_ = false;
};

}  // namespace agendia::db
