// A writer process is killed with SIGKILL at a random moment while it saves,
// again and again. After each kill every save the writer's window reported
// stored is there, once; on a file the file also passes SQLite's integrity
// check. AGENDIA_RELIABILITY_KILLS sets the number of kills.

#include "reliability/target_database.h"
#include "reliability/writer_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

namespace agendia::testing {
namespace {

TEST(KillLoop, EveryReportedSaveSurvivesAKillAndTheFileStaysSound) {
  auto target = MakeTargetDatabase();
  ASSERT_TRUE(target) << "no memo table on backend " << BackendName();
  if (!target->File()) {
    NotApplicable("integrity check after a kill",
                  "a server keeps its own files and rolls back what a killed client left open");
  }
  const int kills = SizeFromEnvironment("AGENDIA_RELIABILITY_KILLS", 10);
  TempDir logs("agendia-kills");
  std::mt19937 random(20240301);
  std::uniform_int_distribution<int> delay_ms(80, 400);
  int reported = 0;
  for (int k = 0; k < kills; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    const std::string log = (logs.path() / ("k" + std::to_string(k))).string();
    const pid_t writer = StartWriter(target->ConnectionString(), "k" + std::to_string(k), 100000, log);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(random)));
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    EXPECT_EQ(WaitFor(writer), -SIGKILL);

    // Read and write, so that a journal left by the killed writer is rolled
    // back before the dump reads the file.
    if (target->File()) {
      ASSERT_EQ(IntegrityCheck(*target->File()), "ok");
    }
    const std::map<std::string, int> stored = StoredTitles(target->ReadDump());
    for (const auto& [title, outcome] : ReadOutcomes(log)) {
      if (outcome != "saved" && outcome != "listed") continue;
      ++reported;
      const auto copies = stored.find(title);
      EXPECT_TRUE(copies != stored.end() && copies->second == 1) << title << " reported stored";
    }
  }
  std::cout << "figures: backend " << target->Name() << ": " << kills << " kills, " << reported
            << " reported saves all present"
            << (target->File() ? ", integrity ok after each\n" : "\n");
}

}  // namespace
}  // namespace agendia::testing
