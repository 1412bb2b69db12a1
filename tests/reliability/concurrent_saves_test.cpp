// Four writer processes save memos at once while this process keeps taking
// the database's exclusive lock: on a file with short lock waits, so that
// some saves and some reloads fail; on a server the table lock, so that the
// writers queue behind it and behind each other. Afterwards every save the
// window reported stored is stored exactly once, every save it reported
// failed kept the typed memo in the open editor (and was saved by pressing
// Save again), and nothing is stored that was not reported.
// AGENDIA_RELIABILITY_SAVES sets the saves per writer.

#include "reliability/target_database.h"
#if AGENDIA_RELIABILITY_WITH_ODBC
#include "db/odbc/postgres_cluster.h"
#endif
#include "reliability/writer_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

namespace agendia::testing {
namespace {

constexpr int kWriters = 4;

// Takes the exclusive lock again and again until told to stop; counts how
// often it held it.
int HoldLockRepeatedly(const std::string& path, const std::atomic<bool>& stop) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 2000);
  int held = 0;
  while (!stop) {
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK) {
      ++held;
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  sqlite3_close(db);
  return held;
}

// The same on a server: another session takes the memo table's exclusive
// lock (writers wait; readers go on) again and again.
int HoldTableLockRepeatedly(const TargetDatabase& target, const std::atomic<bool>& stop) {
  int held = 0;
#if AGENDIA_RELIABILITY_WITH_ODBC
  while (!stop) {
    held += target.Server()
                ->Psql("begin; lock table ZA_Message in exclusive mode; select pg_sleep(0.15); commit")
                .has_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
#else
  (void)target;
  (void)stop;
#endif
  return held;
}

TEST(ConcurrentSaves, NoSaveIsLostOrMisreportedUnderFourWritersAndALockHolder) {
  auto target = MakeTargetDatabase();
  ASSERT_TRUE(target) << "no memo table on backend " << BackendName();
  const int saves = SizeFromEnvironment("AGENDIA_RELIABILITY_SAVES", 200);
  // Short lock waits, so that the lock holder makes saves fail; a server
  // has no such setting and its writers wait.
  const std::string connection =
      target->ConnectionStringWithLockWait(60).value_or(target->ConnectionString());
  TempDir logs("agendia-writers");

  std::atomic<bool> stop{false};
  int held = 0;
  std::thread holder([&] {
    held = target->File() ? HoldLockRepeatedly(*target->File(), stop)
                          : HoldTableLockRepeatedly(*target, stop);
  });
  pid_t writers[kWriters];
  for (int w = 0; w < kWriters; ++w) {
    writers[w] = StartWriter(connection, "w" + std::to_string(w), saves,
                             (logs.path() / ("w" + std::to_string(w))).string());
  }
  for (pid_t pid : writers) EXPECT_EQ(WaitFor(pid), 0);
  stop = true;
  holder.join();

  std::map<std::string, std::string> outcomes;
  int failed_attempts = 0, listed = 0;
  for (int w = 0; w < kWriters; ++w) {
    const std::string log = (logs.path() / ("w" + std::to_string(w))).string();
    for (auto& [title, outcome] : ReadOutcomes(log)) outcomes[title] = outcome;
    std::ifstream lines(log);
    for (std::string line; std::getline(lines, line);) {
      failed_attempts += line.rfind("retried", 0) == 0;
      listed += line.rfind("listed", 0) == 0;
    }
  }
  const std::map<std::string, int> stored = StoredTitles(target->ReadDump());
  int lost = 0, misreported = 0;
  for (int w = 0; w < kWriters; ++w) {
    for (int n = 0; n < saves; ++n) {
      const std::string title = "w" + std::to_string(w) + "-" + std::to_string(n);
      const auto outcome = outcomes.find(title);
      const auto copies = stored.find(title);
      const int count = copies == stored.end() ? 0 : copies->second;
      if (outcome == outcomes.end() ||
          (outcome->second != "saved" && outcome->second != "listed")) {
        ADD_FAILURE() << title << ": " << (outcome == outcomes.end() ? "no outcome" : outcome->second);
        ++lost;
      } else if (count != 1) {
        ADD_FAILURE() << title << " reported stored, stored " << count << " times";
        ++misreported;
      }
    }
  }
  EXPECT_EQ(static_cast<int>(stored.size()), kWriters * saves) << "nothing stored that was not saved";
  EXPECT_GT(held, 0) << "the lock holder never held the lock";
  std::cout << "figures: backend " << target->Name() << ": " << kWriters << " writers x " << saves << " saves, " << stored.size()
            << " stored, " << failed_attempts << " failed attempts saved again, " << listed
            << " failed saves found listed, " << lost
            << " lost, " << misreported << " misreported, lock held " << held << " times\n";
}

}  // namespace
}  // namespace agendia::testing
