#pragma once

// The database the reliability suite runs against. The suite only ever gives
// the window a connection string and compares dumps of the memo table, so any
// backend can be swapped in here: AGENDIA_RELIABILITY_BACKEND names it
// ("sqlite", the default, on a fresh file per test).

#include "support/memo_database.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace agendia::testing {

// Every row of the memo table by identifier (the exact bytes), each column as
// "type:value" ("text:abc", "integer:5", "null"), so a dump compares stored
// bytes and stored types alike.
using DumpRow = std::map<std::string, std::string>;
using Dump = std::map<std::string, DumpRow>;

class TargetDatabase {
 public:
  virtual ~TargetDatabase() = default;
  // What the window is given to reach the memo table.
  virtual std::string ConnectionString() const = 0;
  // Puts a row in as another program of the host would, past the component.
  virtual void Insert(const MemoRow& row) = 0;
  // The whole memo table, read past the component.
  virtual Dump ReadDump() = 0;
  // The file behind the database, for the tests that lock, kill and check a
  // file; nothing for a server.
  virtual std::optional<std::string> File() const = 0;
};

// A fresh, empty memo table on the backend under test; nothing (and a
// skipped test) for a backend this build cannot reach.
std::unique_ptr<TargetDatabase> MakeTargetDatabase();

// "text:" + value, the form a dump holds a text column in.
inline std::string Text(const std::string& value) { return "text:" + value; }
inline std::string Integer(long long value) { return "integer:" + std::to_string(value); }
inline const std::string kNull = "null";

}  // namespace agendia::testing
