#pragma once

// The suite's PostgreSQL cluster as processes, for the faults a server has
// and a file has not: every process of the server stopped with SIGSTOP and
// let go on with SIGCONT, and a session of another program that holds the
// memo table's exclusive lock.

#include <signal.h>
#include <sys/types.h>

#include <map>
#include <string>

namespace agendia::testing {

class ServerProcesses {
 public:
  // Reads cluster.env of the fixture's state folder (AGENDIA_PG_STATE
  // overrides the build's). Fails the test when it is missing.
  ServerProcesses();
  // Lets the server go on and ends the lock holder, whatever the test did.
  ~ServerProcesses();
  ServerProcesses(const ServerProcesses&) = delete;
  ServerProcesses& operator=(const ServerProcesses&) = delete;

  // Sends `signal` to the postmaster and every process it started; false
  // when the postmaster is not found.
  bool Signal(int signal) const;
  // The whole server stopped mid-work, as when its machine stops answering,
  // and let go on again.
  bool Pause() {
    paused_ = Signal(SIGSTOP);
    return paused_;
  }
  bool Continue() {
    paused_ = false;
    return Signal(SIGCONT);
  }

  // Starts a psql session that takes the memo table's access-exclusive lock
  // and holds it (for a minute at most); true once the server shows the lock
  // granted.
  bool HoldTableLock();
  // Ends that session on the server, so the lock goes at once.
  void ReleaseTableLock();
  // True once an insert of another session waits for that lock, within
  // `seconds`: the statement is in flight on the server.
  bool AwaitInsertWaitingForLock(int seconds) const;

 private:
  // psql with `sql` for the cluster's memo database; its output, or nothing.
  bool Psql(const std::string& sql, std::string* output = nullptr) const;

  std::map<std::string, std::string> values_;
  pid_t holder_ = -1;
  bool paused_ = false;
};

}  // namespace agendia::testing
