#include "db/odbc/odbc_link_p.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace agendia::db::odbc {

namespace {

// What the waiting window and the two helper threads share.
struct Rendezvous {
  std::mutex mutex;
  std::condition_variable changed;
  bool returned = false;
  bool cancel_started = false;
  bool cancel_done = false;
  SQLRETURN result = SQL_ERROR;
};

}  // namespace

CallEnd RunBounded(const std::shared_ptr<Statement>& statement, std::function<SQLRETURN()> call,
                   CallBound bound, SQLRETURN& result) {
  auto shared = std::make_shared<Rendezvous>();
  const auto started = std::chrono::steady_clock::now();
  // The helper threads let go of the statement (and so maybe of the link)
  // before they report, so that nothing of this connection is freed behind
  // the window's back while it goes on using it.
  std::thread([shared, held = statement, call = std::move(call)]() mutable {
    const SQLRETURN returned = call();
    call = nullptr;
    held.reset();
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->result = returned;
    shared->returned = true;
    shared->changed.notify_all();
  }).detach();

  std::unique_lock<std::mutex> lock(shared->mutex);
  if (!shared->changed.wait_until(lock, started + bound.cancel_after,
                                  [&] { return shared->returned; })) {
    shared->cancel_started = true;
    std::thread([shared, held = statement]() mutable {
      SQLCancel(held->handle.get());
      held.reset();
      std::lock_guard<std::mutex> done(shared->mutex);
      shared->cancel_done = true;
      shared->changed.notify_all();
    }).detach();
  }
  // After a cancel, wait for the canceller as well while there is time: it
  // uses the statement. One that is still stuck keeps its own hold on it.
  shared->changed.wait_until(lock, started + bound.give_up_after, [&] {
    return shared->returned && (!shared->cancel_started || shared->cancel_done);
  });
  if (!shared->returned) return CallEnd::kGaveUp;
  result = shared->result;
  return shared->cancel_started ? CallEnd::kCancelled : CallEnd::kReturned;
}

}  // namespace agendia::db::odbc
