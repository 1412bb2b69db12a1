#pragma once

#include "db/backend.h"
#include "db/odbc/odbc_api_p.h"
#include "db/odbc/odbc_link_p.h"
#include "base/date_text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace agendia::db::odbc {

class OdbcSession;

// The rows of one statement run through ODBC. A column's value is fetched
// from the driver only when it is first read on a row, so a caller that
// reads four of twelve columns pays for four: with a driver that lets
// columns be fetched in any order (SQL_GD_ANY_ORDER), just the columns read;
// with one that wants them in ascending order, every column up to the
// highest one read so far on the row, as a column passed over could not be
// fetched any more. Values come over as the host's client hands them: whole
// numbers (integer types, bit, and decimals without a scale) as integers,
// other numbers as reals, date and time columns as date-times when their text
// reads as one (fractions of a second are dropped, as the readers use whole
// seconds; the text is kept beside), binary as text of its bytes, everything
// else as text. On a database server whose date columns hold only dates
// (PostgreSQL, SQL Server) a date column comes over as the driver's date
// structure instead of text: the driver then neither formats the value nor
// converts that text to UTF-16, and the text beside is the value's own
// "yyyy-mm-dd hh:mm:ss".
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
  Status Read(int index, FieldValue& value) override;
  void Close() override;

  // Called by the session as it closes: frees the statement without telling
  // the session back.
  void Detach();
  // Called by the session as it gives up on its connection: hands the
  // statement to the connection's link unfreed, as freeing it now could wait
  // for a driver that waits for the server.
  void Orphan();

 private:
  // kDateTime is read as text; kTimestamp as the driver's date structure.
  enum class Kind { kInteger, kReal, kText, kDateTime, kTimestamp, kBinary };
  struct Column {
    std::string name;
    Kind kind = Kind::kText;
  };
  struct Cell {
    uint64_t row = 0;  // the row the value was fetched on; 0 for none
    bool null = true;
    int64_t integer = 0;
    double real = 0;
    std::string text;
    // Of a kTimestamp column that holds a date this program reads.
    bool date_time_valid = false;
    base::DateTime date_time;
  };

  // Fetches column `index` of the current row, and in ascending mode every
  // column before it not fetched yet.
  Status Fetch(size_t index);
  Status FetchOne(size_t index);
  Status ReadText(SQLUSMALLINT number, Cell& cell);
  Status ReadBinary(SQLUSMALLINT number, Cell& cell);
  Status ReadTimestamp(SQLUSMALLINT number, Cell& cell);

  SQLHANDLE Raw() const { return statement_->handle.get(); }

  OdbcSession* session_;
  std::shared_ptr<Statement> statement_;
  std::vector<Column> columns_;
  std::vector<Cell> cells_;
  // Room for one text value, grown to the longest value read so far; the
  // narrow path uses its bytes.
  std::u16string buffer_;
  bool finished_ = false;
  // Counts the rows fetched, so that a cell knows whether it holds a value
  // of the current row without clearing every cell on each move.
  uint64_t row_ = 0;
  // The driver fetches columns in any order; otherwise in ascending order,
  // from next_unfetched_ on.
  bool any_order_ = false;
  size_t next_unfetched_ = 0;
};

}  // namespace agendia::db::odbc
