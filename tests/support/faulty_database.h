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
  // With `carried_out`, a Connection.Execute goes through first and only its
  // answer is the failure, as when a server stored a row and the answer was
  // lost on the way back.
  struct Fault {
    std::string call_prefix;
    int nth = 1;
    Status failure;
    bool carried_out = false;
  };
  std::vector<Fault> faults;
  // When set, creating a connection or recordset fails with this status.
  std::optional<Status> fail_create;
  // When set, the inner connection gets at most this command time-out (the
  // log still shows what was asked): a test of a server that stops answering
  // need not wait the window's 300 seconds.
  std::optional<long> command_timeout_cap;
  // When set, connections get this command time-out instead of the caller's
  // (the log still shows the caller's), so that a test can bound a statement
  // that waits on a server without waiting the component's 300 seconds.
  std::optional<long> command_timeout;
  // When set, the connections judge a failed statement as a connection to a
  // server does (db::AnswerMayBeLost: a time-out or a broken connection may
  // have lost the answer of a statement that was carried out); otherwise as
  // the wrapped connection does.
  bool server_answers = false;

  // The status the call `entry` must return instead of going ahead; ok when
  // it goes ahead.
  Status Check(const std::string& entry, bool* carried_out = nullptr);
  int CountOf(const std::string& call_prefix) const;

 private:
  std::map<std::string, int> seen_;
};

std::shared_ptr<db::Client> MakeFaultyClient(std::shared_ptr<db::Client> inner,
                                             std::shared_ptr<DatabaseLog> log);

}  // namespace agendia::testing
