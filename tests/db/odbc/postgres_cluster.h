#pragma once

// The PostgreSQL cluster that the test fixture postgres-cluster.sh started
// for this test run (ctest runs it first and removes it last), as its state
// file describes it, with psql to read rows past the component.

#include <optional>
#include <string>
#include <vector>

namespace agendia::testing {

class PostgresCluster {
 public:
  // Reads cluster.env of the fixture's state folder (AGENDIA_PG_STATE
  // overrides the build's); fails the test when it is missing,
  // as a test run without the fixture must not pass unnoticed.
  PostgresCluster();

  bool ready() const { return !port_.empty(); }

  // "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=...;Database=vxsystem;Uid=...;Pwd=..."
  std::string ConnectionString() const;
  const std::string& password() const { return password_; }

  // Runs `sql` with psql (unaligned, fields separated by '|', no headers)
  // and returns its output lines; nothing when psql fails.
  std::optional<std::vector<std::string>> Psql(const std::string& sql) const;
  // The shell command Psql runs for `sql`, to run it in the background.
  std::string PsqlCommand(const std::string& sql) const;
  // Empties the memo table.
  void DeleteAllMemos() const;

  // Stops the server and starts it again on the same port and data.
  bool Pause() const;
  bool Resume() const;
  // Stops every process of the server with SIGSTOP, so that open
  // connections stay open and nothing answers; Thaw lets them go on. The
  // fixture's stop thaws the server first, should a test end without.
  bool Freeze() const;
  bool Thaw() const;

 private:
  std::string RunScript(const std::string& command) const;

  std::string state_dir_;
  std::string bin_dir_;
  std::string port_;
  std::string user_;
  std::string password_;
  std::string database_;
};

}  // namespace agendia::testing
