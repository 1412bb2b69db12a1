#pragma once

// A database client that wraps a real one: it records every call, counts the
// objects alive, and fails a chosen call with a chosen status, so every
// failure path of a database action can be reached on purpose.

#include "db/database.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace agendia::testing {

struct DatabaseLog {
  // "Connection.SetCommandTimeout(300)", "Recordset.Open(select ...)",
  // "Recordset.ReadValue(dSend)", "Connection.Close()" ...
  std::vector<std::string> calls;
  int live_connections = 0;
  int live_recordsets = 0;
  int connections_created = 0;

  // Fails the `nth` (1-based) call whose log entry starts with `call_prefix`.
  struct Fault {
    std::string call_prefix;
    int nth = 1;
    Status failure;
  };
  std::vector<Fault> faults;
  // When set, creating a connection or recordset fails with this status.
  std::optional<Status> fail_create;
  // When set, connections get this command time-out instead of the caller's
  // (the log still shows the caller's), so that a test can bound a statement
  // that waits on a server without waiting the component's 300 seconds.
  std::optional<long> command_timeout;

  // The status the call `entry` must return instead of going ahead; ok when
  // it goes ahead.
  Status Check(const std::string& entry);
  int CountOf(const std::string& call_prefix) const;

 private:
  std::map<std::string, int> seen_;
};

std::shared_ptr<db::Client> MakeFaultyClient(std::shared_ptr<db::Client> inner,
                                             std::shared_ptr<DatabaseLog> log);

}  // namespace agendia::testing
