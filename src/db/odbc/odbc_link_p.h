#pragma once

#include "db/odbc/odbc_api_p.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace agendia::db::odbc {

// The driver manager's handles of one connection. Shared, because a
// statement that outlived its time bound still runs on a thread of its own:
// whoever lets go of the link last (the session, or that thread once the
// driver returns) disconnects and frees it, and so the window never waits
// for a driver that waits for a server.
struct Link {
  Link() = default;
  ~Link() {
    for (SQLHANDLE statement : orphans) SQLFreeHandle(SQL_HANDLE_STMT, statement);
    if (connected) SQLDisconnect(connection.get());
  }
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  EnvironmentHandle environment;
  ConnectionHandle connection;
  bool connected = false;
  // Statements of cursors left open when the session gave up on the link.
  std::vector<SQLHANDLE> orphans;
};

// One statement handle of a link. It keeps its link alive, so the statement
// is always freed before its connection, on whichever thread lets go last.
struct Statement {
  explicit Statement(std::shared_ptr<Link> of) : link(std::move(of)) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  std::shared_ptr<Link> link;  // declared first: destroyed after the handle
  StatementHandle handle;
};

// How long the window waits for one call to the driver.
struct CallBound {
  // The driver is asked to cancel the statement (SQLCancel) at this point.
  std::chrono::milliseconds cancel_after{0};
  // Then the window stops waiting: the call goes on by itself and its
  // connection is dropped.
  std::chrono::milliseconds give_up_after{0};
};

enum class CallEnd {
  kReturned,   // the call returned by itself
  kCancelled,  // the call returned after the statement was cancelled
  kGaveUp,     // the call has not returned; it owns `statement` until it does
};

// Runs `call` on `statement` within `bound`. The call runs on a thread of its
// own, so that a server that stops answering (a lost network, a paused
// server) cannot hold the window: at bound.cancel_after the statement is
// cancelled, from yet another thread as the cancel itself may wait for that
// server; at bound.give_up_after this returns kGaveUp without the call's
// result, and `call` and `statement` stay alive with that thread until the
// driver returns. `result` is set unless kGaveUp.
CallEnd RunBounded(const std::shared_ptr<Statement>& statement,
                   std::function<SQLRETURN()> call, CallBound bound, SQLRETURN& result);

}  // namespace agendia::db::odbc
