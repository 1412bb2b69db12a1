#pragma once

#include "db/backend.h"
#include "db/database.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::db {

// The Recordset the client hands out: a forward-only cursor of a
// BackendConnection's session with the object states of the host's client.
// Closing the connection closes its open recordsets too (State() turns
// kStateClosed), as the host's client does.
//
// Reading is the hot path (a memo list reads every row of a user), so it
// allocates nothing per row: column names resolve through a small cache of
// the names asked so far, and values are written into the caller's
// FieldValue.
class BackendRecordset final : public Recordset {
 public:
  BackendRecordset() = default;
  ~BackendRecordset() override = default;
  BackendRecordset(const BackendRecordset&) = delete;
  BackendRecordset& operator=(const BackendRecordset&) = delete;

  // Fails with err::kObjectOpen while open and err::kConnectionInvalid for a
  // connection another client made. Null detaches the connection.
  Status SetActiveConnection(std::shared_ptr<Connection> connection) override;
  // A statement that returns no rows runs and leaves the recordset closed.
  Status Open(const std::string& statement) override;
  StatusOr<bool> EndOfFile() const override;
  Status ReadValue(std::string_view column, FieldValue& value) const override;
  Status MoveNext() override;
  int State() const override;
  Status Close() override;

 private:
  // A column name as a caller spelled it, and the column it names.
  struct KnownColumn {
    std::string asked;
    int index;
  };

  bool IsOpen() const { return cursor_ && cursor_->IsOpen(); }
  // The column called `name` without regard to letter case; -1 for none.
  int FindColumn(std::string_view name) const;
  void Reset();

  // Declared before the cursor so the cursor goes first: it belongs to the
  // connection's session.
  std::shared_ptr<Connection> connection_;
  std::unique_ptr<Cursor> cursor_;
  bool at_end_ = true;
  mutable std::vector<KnownColumn> known_columns_;
  // Where the next lookup starts: callers read the same columns in the same
  // order on every row, so this is usually the one asked for.
  mutable size_t next_known_column_ = 0;
};

}  // namespace agendia::db
