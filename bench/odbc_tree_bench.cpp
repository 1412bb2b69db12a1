// The memo tree of user "demo" loaded through any connection string (a
// server database through ODBC, for bench/odbc-postgres.sh): the whole
// database action of the window, connection included, into the in-memory
// tree. Prints the median of the runs in milliseconds.
//   agendia-bench-odbc-tree CONNECTION EXPECTED_MEMOS [RUNS]

#include "db/default_client.h"
#include "form/frmCalendarInfo.h"
#include "platform/memory/memory_platform.h"
#include "resources/resource_library.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double LoadOnce(const std::string& connection, int expected, bool& ok) {
  auto memory = agendia::platform::memory::MakeMemoryPlatform(
      agendia::resources::MakeFileResourceLibrary(AGENDIA_RESOURCE_TEXTS),
      agendia::platform::langid::kEnglishUS, agendia::db::MakeDefaultClient());
  Clock::time_point loaded;
  int nodes = 0;
  memory.toolkit->while_shown = [&](agendia::platform::memory::MemoryFormWindow& window) {
    loaded = Clock::now();
    nodes = window.Tree("tvInfo")->NodeCount();
  };
  agendia::frmCalendarInfo form(memory.platform);
  form.g_cConn = connection;
  form.g_cUser = "demo";
  form.g_cAccId = "001";
  form.g_nYear = "2024";
  form.dayCurr = "2024-03-01";
  form.lanuage = "en-us";
  const auto start = Clock::now();
  const agendia::Status shown = form.Show(1);
  ok = shown.ok() && nodes == expected + 6 && memory.toolkit->message_boxes.empty();
  if (!ok) {
    std::fprintf(stderr, "load: %s, %d nodes, %zu messages%s%s\n", shown.description().c_str(),
                 nodes, memory.toolkit->message_boxes.size(),
                 memory.toolkit->message_boxes.empty() ? "" : ": ",
                 memory.toolkit->message_boxes.empty()
                     ? ""
                     : memory.toolkit->message_boxes.front().text.c_str());
  }
  return std::chrono::duration<double, std::milli>(loaded - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s CONNECTION EXPECTED_MEMOS [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string connection = argv[1];
  const int expected = std::atoi(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    bool ok = false;
    times.push_back(LoadOnce(connection, expected, ok));
    if (!ok) return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f\n", times[times.size() / 2]);
  return 0;
}
