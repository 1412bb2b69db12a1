#pragma once

// The TDS protocol stand-in (tds_stand_in.py, not SQL Server) that the test
// fixture started for this run, as its state file describes it, with its
// control channel: faults, the collation, and the rows, logins and batches
// it has seen, read past the component.

#include <string>
#include <vector>

namespace agendia::testing {

class TdsStandIn {
 public:
  // Reads stand-in.env of the fixture's state folder and resets the server
  // (empty table, no faults, SQL_Latin1_General_CP1_CI_AS). Fails the test
  // when the fixture did not run, as a run without it must not pass
  // unnoticed.
  TdsStandIn();

  bool ready() const { return port_ != 0; }
  int port() const { return port_; }

  // The host's own form: "Provider=SQLOLEDB.1;Data Source=127.0.0.1,PORT;
  // Initial Catalog=VXSystem;User ID=agendia;Password=St4nd-in!" and `extra`.
  std::string ConnectionString(const std::string& extra = "") const;
  static constexpr const char* kPassword = "St4nd-in!";

  // Sends one command (see the script); its lines after "ok". A command the
  // server refuses fails the test.
  std::vector<std::string> Control(const std::string& command) const;

  void Reset(const std::string& collation) const { Control("reset " + collation); }
  void Fault(const std::string& name) const { Control("fault " + name); }
  // cMsgId|cMsgTitle|cMsgContent|cSender|cReceiver|dSend|nValidDay|bHasRead|
  // DisplayPeriods|Account|Year|nMsgType, one per row.
  std::vector<std::string> Rows() const { return Control("rows"); }
  // user|database|language|application|host|encryption byte|TLS began.
  std::vector<std::string> Logins() const { return Control("logins"); }
  std::vector<std::string> Batches() const { return Control("batches"); }

  // `text` as the control channel writes a field.
  static std::string Escaped(const std::string& text);

 private:
  int port_ = 0;
  int control_port_ = 0;
};

}  // namespace agendia::testing
