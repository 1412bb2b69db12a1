#pragma once

#include "base/date_text.h"

#include <agendia/status.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace agendia::db {

// Object states, as State() reports them.
inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

// The error numbers the database client reports. They are those of the host's
// own client, so a message shows the number a host administrator knows.
namespace err {
inline constexpr int32_t kUnspecified = int32_t(0x80004005);         // -2147467259: cannot connect, file not a database, ...
inline constexpr int32_t kErrorsInCommand = int32_t(0x80040E14);     // -2147217900: the statement was rejected
inline constexpr int32_t kIntegrityViolation = int32_t(0x80040E2F);  // -2147217873: a constraint was violated
inline constexpr int32_t kTimeout = int32_t(0x80040E31);             // -2147217871: time limit expired (statement or lock wait)
inline constexpr int32_t kNoCurrentRecord = int32_t(0x800A0BCD);     // 3021: no current row (EOF)
inline constexpr int32_t kItemNotFound = int32_t(0x800A0CC1);        // 3265: no column of that name
inline constexpr int32_t kObjectClosed = int32_t(0x800A0E78);        // 3704: the object is closed
inline constexpr int32_t kObjectOpen = int32_t(0x800A0E79);          // 3705: the object is already open
inline constexpr int32_t kProviderNotFound = int32_t(0x800A0E7A);    // 3706: no backend for the connection string
inline constexpr int32_t kConnectionInvalid = int32_t(0x800A0E7D);   // 3709: the connection is closed or invalid here
inline constexpr int32_t kCannotCreateObject = int32_t(0x800A01AD);  // 429: the client object cannot be created
}  // namespace err

// Whether a statement that failed with `failure` may nonetheless have been
// carried out by a database server: the answer was lost on its way back (the
// time limit ran out while the server was working, or the connection broke),
// so the client cannot tell what the server did. A statement the server
// refused (err::kErrorsInCommand, err::kIntegrityViolation) or one that never
// left the client (a closed object, a NUL in the text) was not carried out.
bool AnswerMayBeLost(const Status& failure);

// One column value of the current row.
struct FieldValue {
  enum class Type { kNull, kInteger, kReal, kText, kDateTime };
  Type type = Type::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string text;
  base::DateTime date_time;

  bool IsNull() const { return type == Type::kNull; }
};

// A connection to one database. Created closed; Open chooses the backend from
// the connection string. Every member fails with a Status whose code is one of
// err:: (or a backend's own negative number) and whose description names the
// cause.
class Connection {
 public:
  virtual ~Connection() = default;

  // Seconds a statement may run before it fails with err::kTimeout; 0 means
  // no limit of the caller's. Default 30. Takes effect for later statements.
  virtual Status SetCommandTimeout(long seconds) = 0;
  // Seconds an attempt to open may take; 0 leaves the bound to the backend,
  // which documents what it uses. Default 15. Set before Open.
  virtual Status SetConnectionTimeout(long seconds) = 0;

  // Opens the database named by `connection_string`. On failure the
  // connection stays closed (State() is kStateClosed).
  virtual Status Open(const std::string& connection_string) = 0;
  // Runs a statement that returns no rows. A statement that affects no row
  // succeeds; `records_affected`, when given, receives how many rows it
  // inserted, changed or deleted (-1 when the backend cannot tell), as the
  // host's client reports through the RecordsAffected argument of Execute.
  // A statement holding a NUL character is refused before it reaches the
  // backend, on every backend alike (err::kErrorsInCommand).
  virtual Status Execute(const std::string& statement, long* records_affected) = 0;
  Status Execute(const std::string& statement) { return Execute(statement, nullptr); }
  // Whether the statement whose Execute on this connection failed with
  // `failure` may still have been carried out (see AnswerMayBeLost). By
  // default the number decides, as for a server; a database that runs in
  // this process knows the outcome of every statement and says no.
  virtual bool MayHaveBeenCarriedOut(const Status& failure) const {
    return AnswerMayBeLost(failure);
  }

  virtual int State() const = 0;
  // Closes the connection; fails with err::kObjectClosed when it is not open.
  virtual Status Close() = 0;
};

// The rows of one select, read front to back. The recordset shares the
// connection it runs on, so the connection lives at least as long.
class Recordset {
 public:
  virtual ~Recordset() = default;

  // The open connection the next Open runs on.
  virtual Status SetActiveConnection(std::shared_ptr<Connection> connection) = 0;
  // Runs `statement` and stands on its first row, or at the end when there is
  // none. Fails with err::kConnectionInvalid without an open connection, and
  // like Connection::Execute for a statement holding a NUL character.
  virtual Status Open(const std::string& statement) = 0;

  // True when there is no current row. Fails when the recordset is closed.
  virtual StatusOr<bool> EndOfFile() const = 0;
  // The value of `column` (matched without regard to letter case) in the
  // current row. Fails with err::kItemNotFound for an unknown column and
  // err::kNoCurrentRecord at the end. `value` is overwritten, so a caller
  // that reads many rows can reuse one FieldValue and its text buffer.
  virtual Status ReadValue(std::string_view column, FieldValue& value) const = 0;
  // Moves to the next row; fails at the end.
  virtual Status MoveNext() = 0;

  virtual int State() const = 0;
  // Closes the recordset; fails with err::kObjectClosed when it is not open.
  virtual Status Close() = 0;

  StatusOr<FieldValue> Value(std::string_view column) const {
    FieldValue value;
    Status read = ReadValue(column, value);
    if (!read.ok()) return read;
    return value;
  }
};

// Creates the database objects, as the host's client creates them by name.
class Client {
 public:
  virtual ~Client() = default;
  virtual StatusOr<std::shared_ptr<Connection>> CreateConnection() = 0;
  virtual StatusOr<std::unique_ptr<Recordset>> CreateRecordset() = 0;
};

}  // namespace agendia::db
