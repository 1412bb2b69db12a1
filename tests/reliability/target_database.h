#pragma once

// The database the reliability suite runs against. The suite only ever gives
// the window a connection string and compares dumps of the memo table, so any
// backend can be swapped in here. AGENDIA_RELIABILITY_BACKEND names it:
//   sqlite      the embedded backend, a fresh file per case (the default)
//   sqliteodbc  the same kind of file through the SQLite ODBC driver
//   postgres    the suite's private PostgreSQL cluster through psqlODBC, the
//               memo table emptied for each case

#include "support/memo_database.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace agendia::testing {

class PostgresCluster;

// Every row of the memo table by identifier (the exact bytes), each column as
// "type:value" ("text:abc", "integer:5", "null"), so a dump compares stored
// bytes and stored types alike. A date-time column of a server reads as
// "text:yyyy-mm-dd hh:mm:ss", the text SQLite keeps.
using DumpRow = std::map<std::string, std::string>;
using Dump = std::map<std::string, DumpRow>;

class TargetDatabase {
 public:
  virtual ~TargetDatabase() = default;
  // The backend's name as AGENDIA_RELIABILITY_BACKEND gives it.
  virtual std::string Name() const = 0;
  // What the window is given to reach the memo table.
  virtual std::string ConnectionString() const = 0;
  // The same, with waits for another connection's lock bounded to
  // `milliseconds`; nothing where the backend has no such setting (a server
  // waits as long as the statement may run).
  virtual std::optional<std::string> ConnectionStringWithLockWait(int milliseconds) const = 0;
  // Why `row` cannot be stored on this backend as it stands, or nothing.
  virtual std::optional<std::string> CannotStore(const MemoRow& row) const = 0;
  // Whether the date column keeps any text as it was written (SQLite) rather
  // than only the date-times it can read (a server's timestamp column).
  virtual bool DatesAreText() const = 0;
  // Puts a row in as another program of the host would, past the component.
  virtual void Insert(const MemoRow& row) = 0;
  // The whole memo table, read past the component.
  virtual Dump ReadDump() = 0;
  // The file behind the database, for the tests that lock, kill and check a
  // file; nothing for a server.
  virtual std::optional<std::string> File() const = 0;
  // The server behind the database, for the tests that stop and pause it;
  // nothing for a file.
  virtual const PostgresCluster* Server() const { return nullptr; }
};

// The backend AGENDIA_RELIABILITY_BACKEND names ("sqlite" when unset).
std::string BackendName();

// A fresh, empty memo table on the backend under test; nothing (and a
// failed test) for a backend this build cannot reach.
std::unique_ptr<TargetDatabase> MakeTargetDatabase();

// Says in the test's output and its XML record that `what` does not apply to
// the backend under test, and why; counted in the suite's figures.
void NotApplicable(const std::string& what, const std::string& why);

// Why the corpus case `name` is known to go wrong on the backend under test,
// naming where the fault lies and who is to mend it; nothing for the other
// cases. The test reports it (ReportKnownFault) instead of running it;
// counted in the suite's figures.
std::optional<std::string> KnownFault(const std::string& name);
void ReportKnownFault(const std::string& name, const std::string& why);

// How often each title is stored in `dump`.
std::map<std::string, int> StoredTitles(const Dump& dump);

// "text:" + value, the form a dump holds a text column in.
inline std::string Text(const std::string& value) { return "text:" + value; }
inline std::string Integer(long long value) { return "integer:" + std::to_string(value); }
inline const std::string kNull = "null";

}  // namespace agendia::testing
