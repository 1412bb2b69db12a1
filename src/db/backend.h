#pragma once

#include "db/database.h"

#include <agendia/status.h>

#include <memory>
#include <string>

namespace agendia::db {

class ConnectionString;

// The limits a connection hands its session, as the caller set them.
struct SessionLimits {
  // Seconds one statement may run; 0 means no limit.
  long command_timeout_seconds = 30;
  // Seconds an open may take; 0 leaves the bound to the backend.
  long connection_timeout_seconds = 15;
};

// The rows of one query, read front to back. A cursor belongs to the session
// that made it and never outlives it in use: when the session closes, every
// cursor it made is closed with it (IsOpen() turns false) and may then only
// be closed or destroyed.
class Cursor {
 public:
  virtual ~Cursor() = default;

  // False once Close ran or the session closed.
  virtual bool IsOpen() const = 0;

  // The result columns, fixed from the start. Zero for a statement that
  // returns no rows.
  virtual int ColumnCount() const = 0;
  virtual const std::string& ColumnName(int index) const = 0;

  // Moves to the next row: true on a row, false at the end (and every call
  // after that). The first call moves to the first row.
  virtual StatusOr<bool> Next() = 0;
  // Overwrites `value` with column `index` of the current row. Only on a row
  // and with 0 <= index < ColumnCount(); the caller checks both.
  virtual void Read(int index, FieldValue& value) const = 0;

  // Releases the statement. Closing a closed cursor does nothing.
  virtual void Close() = 0;
};

// One open database connection of a backend.
class Session {
 public:
  virtual ~Session() = default;

  // Applies to the statements run from now on; 0 means no limit.
  virtual void SetCommandTimeout(long seconds) = 0;
  // Runs a statement (or several, separated by ';') and discards any rows.
  virtual Status Execute(const std::string& statement) = 0;
  // The rows the last Execute inserted, changed or deleted; -1 when the
  // backend cannot tell.
  virtual long RowsAffected() const { return -1; }
  // True when the database runs in this process, so that a statement that
  // failed was not carried out: its answer cannot be lost on a network.
  virtual bool InProcess() const { return false; }
  // Prepares one statement to be read through a cursor; the cursor stands
  // before the first row.
  virtual StatusOr<std::unique_ptr<Cursor>> Query(const std::string& statement) = 0;
  // Closes every cursor of the session, then the connection itself, so no
  // statement or file handle is left behind. Closing twice does nothing.
  virtual void Close() = 0;
};

// A kind of database: opens sessions on what a connection string names. A
// backend reads its own keys of the connection string.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual StatusOr<std::unique_ptr<Session>> Open(const ConnectionString& settings,
                                                  const SessionLimits& limits) const = 0;
};

}  // namespace agendia::db
