// Faults of the database while a memo is typed: the server stopped, the
// server paused in the middle of the statement, a lock another program
// holds, a database that is read-only, and no rights to write. Each Save
// under a fault shows one message and keeps the typed memo in the open
// editor, and the table does not change; once the fault is gone, pressing
// Save again stores the memo exactly once. On a file, "stopped" is the file
// gone and the rights are the file's; a file has no server to pause.

#include "reliability/corpus_fixture.h"
#include "support/exclusive_lock.h"

#if AGENDIA_RELIABILITY_WITH_ODBC
#include "db/odbc/postgres_cluster.h"
#include "reliability/server_processes.h"
#endif

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
#include <variant>

namespace agendia::testing {
namespace {

enum class FaultKind { kStopped, kPaused, kLockHeld, kReadOnly, kNoRights };

std::string NameOf(FaultKind kind) {
  switch (kind) {
    case FaultKind::kStopped: return "Stopped";
    case FaultKind::kPaused: return "PausedMidStatement";
    case FaultKind::kLockHeld: return "LockHeld";
    case FaultKind::kReadOnly: return "ReadOnly";
    case FaultKind::kNoRights: return "NoRights";
  }
  return "Unknown";
}

// The test's name in CTest shows the fault by name.
void PrintTo(FaultKind kind, std::ostream* out) { *out << NameOf(kind); }

// What a fault does to one Save, and what lifts it.
struct Fault {
  // Puts the fault in place just before Save; gives what lifts it.
  std::function<std::function<void()>()> on;
  // The error number the message must end with, where the fault fixes it.
  std::optional<int32_t> number;
  // Statements are bounded to this many seconds instead of the window's 300,
  // so that a wait on a server ends in a test's time.
  std::optional<long> command_timeout;
  // How long the Save under the fault may take at most.
  double bound_seconds = 30;
  // The server may still finish the insert after the client gave up: the
  // memo may be stored once, and Save is not pressed again.
  bool answer_may_be_lost = false;
  // Set by a fault that must strike while the statement runs, once it did.
  std::shared_ptr<std::atomic<bool>> struck;
};

const char kTitle[] = "typed during a fault";
const char kContent[] = "kept in the editor";

// Runs the rest of a step as a user that a file's permissions hold back:
// root passes every check, so as root the unprivileged user nobody.
class AsUnprivileged {
 public:
  AsUnprivileged() : switched_(geteuid() == 0 && seteuid(65534) == 0) {}
  ~AsUnprivileged() {
    if (switched_ && seteuid(0) != 0) std::abort();
  }

 private:
  bool switched_;
};

// The file's folder and the file set to `folder` and `file` permissions, and
// the save run unprivileged, until lifted.
std::function<std::function<void()>()> Permissions(const std::string& path, mode_t folder, mode_t file) {
  return [=] {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    chmod(path.c_str(), file);
    chmod(dir.c_str(), folder);
    auto unprivileged = std::make_shared<AsUnprivileged>();
    return std::function<void()>([dir, path, unprivileged]() mutable {
      unprivileged.reset();
      chmod(dir.c_str(), 0755);
      chmod(path.c_str(), 0644);
    });
  };
}

// The fault `kind` on a database file, or why it does not apply.
std::variant<Fault, std::string> FileFault(FaultKind kind, const std::string& path, const std::string& backend) {
  Fault fault;
  switch (kind) {
    case FaultKind::kStopped:
      fault.on = [path] {
        std::filesystem::rename(path, path + ".away");
        return std::function<void()>([path] { std::filesystem::rename(path + ".away", path); });
      };
      return fault;
    case FaultKind::kPaused:
      return std::string("a file has no server to pause: its statements wait only for locks, "
                         "which the lock-held case bounds");
    case FaultKind::kLockHeld:
      fault.on = [path] {
        auto lock = std::make_shared<ExclusiveLock>(path);
        EXPECT_TRUE(lock->held()) << lock->error();
        return std::function<void()>([lock]() mutable { lock.reset(); });
      };
      // The embedded backend reports a lock not freed in time as a time-out.
      if (backend == "sqlite") fault.number = db::err::kTimeout;
      return fault;
    case FaultKind::kReadOnly:
      fault.on = Permissions(path, 0555, 0444);
      return fault;
    case FaultKind::kNoRights:
      fault.on = Permissions(path, 0700, 0);
      return fault;
  }
  return std::string("unknown fault");
}

#if AGENDIA_RELIABILITY_WITH_ODBC
// The fault `kind` on the suite's PostgreSQL server.
std::variant<Fault, std::string> ServerFault(FaultKind kind, const PostgresCluster& cluster) {
  Fault fault;
  const auto psql = [&cluster](std::string sql) {
    return [&cluster, sql] { EXPECT_TRUE(cluster.Psql(sql).has_value()) << sql; };
  };
  switch (kind) {
    case FaultKind::kStopped:
      fault.on = [&cluster] {
        EXPECT_TRUE(cluster.Pause());
        return std::function<void()>([&cluster] { EXPECT_TRUE(cluster.Resume()); });
      };
      return fault;
    case FaultKind::kPaused:
      // The insert waits for another session's lock; meanwhile the whole
      // server stops answering, as a paused machine does. Only a bound on
      // the client's side ends the wait.
      fault.command_timeout = 5;
      // The statement's bound, then the list read again on a server that
      // still does not answer: the login's own bound of 15 seconds.
      fault.bound_seconds = 5 + 15 + 10;
      fault.number = db::err::kTimeout;
      fault.answer_may_be_lost = true;
      fault.struck = std::make_shared<std::atomic<bool>>(false);
      fault.on = [struck = fault.struck] {
        auto server = std::make_shared<ServerProcesses>();
        EXPECT_TRUE(server->HoldTableLock());
        struct Pauser {
          std::mutex mutex;
          std::condition_variable done;
          bool lifted = false;
          std::thread thread;
        };
        auto pauser = std::make_shared<Pauser>();
        pauser->thread = std::thread([server, pauser, struck] {
          // Once Save's insert waits on the server, the server stops.
          const bool in_flight = server->AwaitInsertWaitingForLock(30);
          std::unique_lock<std::mutex> lock(pauser->mutex);
          if (!in_flight || pauser->lifted) return;
          *struck = server->Pause();
          // Never longer than a minute, whatever the window does.
          pauser->done.wait_for(lock, std::chrono::seconds(60), [&] { return pauser->lifted; });
          server->Continue();
        });
        return std::function<void()>([server, pauser] {
          {
            std::lock_guard<std::mutex> lock(pauser->mutex);
            pauser->lifted = true;
          }
          pauser->done.notify_all();
          pauser->thread.join();
          server->Continue();
          server->ReleaseTableLock();
        });
      };
      return fault;
    case FaultKind::kLockHeld:
      fault.command_timeout = 3;
      fault.bound_seconds = 3 + 15;
      fault.number = db::err::kTimeout;
      fault.on = [] {
        auto server = std::make_shared<ServerProcesses>();
        EXPECT_TRUE(server->HoldTableLock());
        return std::function<void()>([server] { server->ReleaseTableLock(); });
      };
      return fault;
    case FaultKind::kReadOnly:
      fault.on = [psql] {
        psql("alter database vxsystem set default_transaction_read_only = on")();
        // The session that lifts it is read-only too, unless it says otherwise.
        return std::function<void()>(psql(
            "begin read write; alter database vxsystem reset default_transaction_read_only; commit"));
      };
      return fault;
    case FaultKind::kNoRights:
      fault.on = [psql] {
        psql("revoke insert, update, delete on ZA_Message from agendia")();
        return std::function<void()>(psql("grant insert, update, delete on ZA_Message to agendia"));
      };
      return fault;
  }
  return std::string("unknown fault");
}
#endif

class ServerFaultsTest : public CorpusTest, public ::testing::WithParamInterface<FaultKind> {
 protected:
  // The titles of the memos the tree lists.
  static std::multiset<std::string> ListedTitles(Window& w) {
    std::multiset<std::string> titles;
    for (const std::string& key : ListedMemos(w)) {
      if (auto node = w.Tree("tvInfo")->FindNode(key)) titles.insert(node->text);
    }
    return titles;
  }
};

TEST_P(ServerFaultsTest, ASaveUnderTheFaultKeepsTheMemoAndTheNextSaveStoresItOnce) {
  std::variant<Fault, std::string> chosen = std::string("no fault of this kind for this backend");
  if (target->File()) {
    // Short lock waits, so that a held lock fails the save in a test's time.
    context.conn = *target->ConnectionStringWithLockWait(300);
    chosen = FileFault(GetParam(), *target->File(), target->Name());
  }
#if AGENDIA_RELIABILITY_WITH_ODBC
  if (target->Server()) chosen = ServerFault(GetParam(), *target->Server());
#endif
  if (auto* reason = std::get_if<std::string>(&chosen)) {
    NotApplicable(::testing::UnitTest::GetInstance()->current_test_info()->name(), *reason);
    GTEST_SKIP() << *reason;
  }
  const Fault& fault = std::get<Fault>(chosen);
  db_log->command_timeout = fault.command_timeout;
  target->Insert(Neighbour());
  target->Insert(OtherUsersMemo());
  const Dump before = target->ReadDump();

  std::vector<std::string> under_fault;
  bool kept = false, saved_after = false;
  double seconds = 0;
  Dump lifted;
  auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
    TypeMemo(w, kTitle, kContent);
    const size_t first = memory.toolkit->message_boxes.size();
    std::function<void()> lift = fault.on();
    const auto start = std::chrono::steady_clock::now();
    w.Button("btnSave")->Click();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lift();
    for (size_t i = first; i < memory.toolkit->message_boxes.size(); ++i) {
      under_fault.push_back(memory.toolkit->message_boxes[i].text);
    }
    kept = w.Button("btnSave")->Enabled() && w.Edit("txtTitle")->Text() == kTitle &&
           w.Edit("txtContent")->Text() == kContent;
    if (fault.answer_may_be_lost) {
      // A statement the server still runs ends once the lock is gone.
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    lifted = target->ReadDump();
    // Save again as the messages advise: where the answer may have been
    // lost, Save first reads the list again, and the memo is saved by one
    // more Save only when it is not listed.
    for (int press = 0; press < 2 && w.Button("btnSave")->Enabled(); ++press) {
      if (ListedTitles(w).count(kTitle)) break;
      w.Button("btnSave")->Click();
    }
    saved_after = !w.Button("btnSave")->Enabled() || ListedTitles(w).count(kTitle) == 1;
  });

  ASSERT_GE(under_fault.size(), 1u) << "the failed save says so";
  EXPECT_EQ(under_fault.size(), 1u) << "one message for the failed save: " << under_fault.back();
  const std::string& message = under_fault.front();
  EXPECT_EQ(message.back(), ')') << message;
  if (fault.number) {
    EXPECT_TRUE(message.ends_with("(" + std::to_string(*fault.number) + ")")) << message;
  }
  EXPECT_LE(seconds, fault.bound_seconds) << "the save under the fault waited too long: " << message;
  EXPECT_TRUE(kept) << "the typed memo stays in the open editor";
  if (fault.struck) {
    EXPECT_TRUE(*fault.struck) << "the fault struck while the statement ran";
  }
  std::cout << "fault " << ::testing::UnitTest::GetInstance()->current_test_info()->name() << " on "
            << target->Name() << " after " << seconds << " s: " << message << "\n";

  if (!fault.answer_may_be_lost) {
    EXPECT_TRUE(OnlyChanged(before, lifted, {})) << "the failed save changed nothing";
  }
  EXPECT_TRUE(saved_after) << "Save pressed again once the fault is gone stores the memo";
  EXPECT_LE(messages.size(), 2u) << "at most a note that the list was read again: " << messages.back();
  // Stored exactly once, whether by the server after the client gave up or
  // by the Save after the fault; nothing else changed.
  EXPECT_TRUE(OnlyChanged(before, target->ReadDump(),
                          Inserted({{"cMsgTitle", Text(kTitle)}, {"cMsgContent", Text(kContent)}})));
}

INSTANTIATE_TEST_SUITE_P(Faults, ServerFaultsTest,
                         ::testing::Values(FaultKind::kStopped, FaultKind::kPaused, FaultKind::kLockHeld,
                                           FaultKind::kReadOnly, FaultKind::kNoRights),
                         [](const auto& fault_info) { return NameOf(fault_info.param); });

}  // namespace
}  // namespace agendia::testing
