#pragma once

#include "db/backend.h"
#include "db/database.h"

#include <memory>
#include <string>

namespace agendia::db {

// The Connection the client hands out: the object states and time limits of
// the host's client over a backend session. Open picks the backend from the
// connection string (see provider_choice.h). Not for use from two threads at
// once, as the host's apartment-threaded object is not.
class BackendConnection final : public Connection {
 public:
  BackendConnection() = default;
  // Closes the session when the connection is still open.
  ~BackendConnection() override = default;
  BackendConnection(const BackendConnection&) = delete;
  BackendConnection& operator=(const BackendConnection&) = delete;

  Status SetCommandTimeout(long seconds) override;
  Status SetConnectionTimeout(long seconds) override;
  Status Open(const std::string& connection_string) override;
  using Connection::Execute;
  Status Execute(const std::string& statement, long* records_affected) override;
  // False for every failure on a database in this process (SQLite rolls a
  // failed statement back); otherwise as the number says.
  bool MayHaveBeenCarriedOut(const Status& failure) const override;
  int State() const override;
  Status Close() override;

  // The session of the open connection, null while closed. For the
  // recordsets of this client, which query through it.
  Session* session() const { return session_.get(); }

 private:
  SessionLimits limits_;
  std::unique_ptr<Session> session_;
  // Kept from the last Open: a session that broke may be gone by the time
  // the caller asks about its failure.
  bool in_process_ = false;
};

}  // namespace agendia::db
