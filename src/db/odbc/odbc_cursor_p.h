#pragma once

#include "db/backend.h"
#include "db/odbc/odbc_api_p.h"
#include "db/odbc/odbc_link_p.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace agendia::db::odbc {

class OdbcSession;

// The rows of one statement run through ODBC. Each row is read whole as the
// cursor moves onto it (drivers need not allow columns out of order), and
// values come over as the host's client hands them: whole numbers (integer
// types, bit, and decimals without a scale) as integers, other numbers as
// reals, date and time columns as date-times when their text reads as one
// (fractions of a second are dropped, as the readers use whole seconds; the
// text is kept beside), binary as text of its bytes, everything else as text.
class OdbcCursor final : public Cursor {
 public:
  // Takes over `statement`, which has run.
  OdbcCursor(OdbcSession& session, std::shared_ptr<Statement> statement);
  ~OdbcCursor() override;
  OdbcCursor(const OdbcCursor&) = delete;
  OdbcCursor& operator=(const OdbcCursor&) = delete;

  // Reads the result's columns; fails when the driver cannot describe them.
  Status Describe();

  bool IsOpen() const override { return statement_ != nullptr; }
  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  const std::string& ColumnName(int index) const override { return columns_[size_t(index)].name; }
  StatusOr<bool> Next() override;
  void Read(int index, FieldValue& value) const override;
  void Close() override;

  // Called by the session as it closes: frees the statement without telling
  // the session back.
  void Detach();
  // Called by the session as it gives up on its connection: hands the
  // statement to the connection's link unfreed, as freeing it now could wait
  // for a driver that waits for the server.
  void Orphan();

 private:
  enum class Kind { kInteger, kReal, kText, kDateTime, kBinary };
  struct Column {
    std::string name;
    Kind kind = Kind::kText;
  };
  struct Cell {
    bool null = true;
    int64_t integer = 0;
    double real = 0;
    std::string text;
  };

  Status ReadRow();
  Status ReadText(SQLUSMALLINT number, Cell& cell);
  Status ReadBinary(SQLUSMALLINT number, Cell& cell);

  SQLHANDLE Raw() const { return statement_->handle.get(); }

  OdbcSession* session_;
  std::shared_ptr<Statement> statement_;
  std::vector<Column> columns_;
  std::vector<Cell> cells_;
  // Room for one text value, grown to the longest value read so far; the
  // narrow path uses its bytes.
  std::u16string buffer_;
  bool finished_ = false;
};

}  // namespace agendia::db::odbc
