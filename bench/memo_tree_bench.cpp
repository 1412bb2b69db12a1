// Loads the memo tree of one user with many memos and compares it with a bare
// scan of the same statement through the sqlite3 C library.
//
//   agendia-bench-memo-tree [--memos N]... [--no-qt] [--runs R]
//
// For each N it builds a database with N memos of the user "demo", all due on
// the current day, and N memos of other users, then measures (median of R
// runs):
//   scan    the select through sqlite3_step, reading the four columns the tree
//           needs
//   memory  opening the window on the in-memory platform: captions and the
//           whole memo tree into the in-memory tree
//   qt      the same into the real Qt window (offscreen), up to the moment the
//           shown window handles its first event
// and prints the ratios to the scan and the peak resident memory. The in-memory
// runs come first, before Qt is started, and the Qt runs after them.

#include "db/default_client.h"
#include "form/frmCalendarInfo.h"
#include "platform/memory/memory_platform.h"
#include "platform/qt/qt_platform.h"
#include "resources/resource_library.h"

#include <QApplication>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kCurrentDay = "2024-03-01";

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

bool Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", message ? message : "?");
    sqlite3_free(message);
    return false;
  }
  return true;
}

// N memos for "demo", each due today (every kind is due on its own date),
// and N for other users, written in one transaction.
bool BuildDatabase(const std::string& path, int memos) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
  std::ifstream schema_file(AGENDIA_SQL_DIR "/sqlite/ZA_Message.sql");
  std::stringstream schema;
  schema << schema_file.rdbuf();
  bool ok = Exec(db, schema.str()) && Exec(db, "begin");
  sqlite3_stmt* insert = nullptr;
  ok = ok && sqlite3_prepare_v2(db,
                                "insert into ZA_Message values (?, 100, ?, ?, ?, ?, ?, ?, 0, ?, "
                                "'001', 2024)",
                                -1, &insert, nullptr) == SQLITE_OK;
  std::mt19937 random(20240301);
  char id[40], title[64], when[32];
  for (int i = 0; ok && i < 2 * memos; ++i) {
    const bool mine = i % 2 == 0;
    std::snprintf(id, sizeof id, "%08X-%04X-4%03X-8%03X-%012X", static_cast<unsigned>(random()),
                  i & 0xFFFF, i % 0xFFF, (i / 7) % 0xFFF, static_cast<unsigned>(i));
    const int minutes = static_cast<int>(random() % 1440);
    std::snprintf(title, sizeof title, "Memo %d: call the supplier about order %u", i,
                  static_cast<unsigned>(random() % 100000));
    std::snprintf(when, sizeof when, "%s %02d:%02d:00", kCurrentDay, minutes / 60, minutes % 60);
    const std::string user = mine ? "demo" : "user" + std::to_string(i % 97);
    sqlite3_bind_text(insert, 1, id, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, title, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, "Details of the memo, a line or two of text.", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 4, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 5, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 6, when, -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 7, minutes);
    sqlite3_bind_int(insert, 8, static_cast<int>(random() % 6));
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ok = ok && Exec(db, "commit");
  sqlite3_close(db);
  return ok;
}

// The tree's statement, read row by row with nothing else done.
double BareScan(const std::string& path, int expected) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  const auto start = Clock::now();
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "select * from ZA_Message where nMsgType=100 and cReceiver='demo'", -1,
                     &select, nullptr);
  int rows = 0;
  size_t bytes = 0;
  while (sqlite3_step(select) == SQLITE_ROW) {
    for (int column : {0, 2, 6}) {
      const unsigned char* text = sqlite3_column_text(select, column);
      bytes += text ? static_cast<size_t>(sqlite3_column_bytes(select, column)) : 0;
    }
    bytes += static_cast<size_t>(sqlite3_column_int(select, 9));
    ++rows;
  }
  sqlite3_finalize(select);
  const double elapsed = Milliseconds(Clock::now() - start);
  sqlite3_close(db);
  if (rows != expected || bytes == 0) std::fprintf(stderr, "scan read %d rows\n", rows);
  return elapsed;
}

agendia::Status OpenWindow(std::shared_ptr<const agendia::platform::Platform> platform,
                           const std::string& path) {
  agendia::frmCalendarInfo form(std::move(platform));
  form.g_cConn = "Provider=SQLite;Data Source=" + path;
  form.g_cUser = "demo";
  form.g_cAccId = "001";
  form.g_nYear = "2024";
  form.dayCurr = kCurrentDay;
  form.lanuage = "en-us";
  return form.Show(1);
}

double MemoryLoad(const std::string& path, int expected) {
  auto memory = agendia::platform::memory::MakeMemoryPlatform(
      agendia::resources::MakeFileResourceLibrary(AGENDIA_RESOURCE_TEXTS),
      agendia::platform::langid::kEnglishUS, agendia::db::MakeDefaultClient());
  Clock::time_point loaded;
  int nodes = 0;
  memory.toolkit->while_shown = [&](agendia::platform::memory::MemoryFormWindow& window) {
    loaded = Clock::now();
    nodes = window.Tree("tvInfo")->NodeCount();
  };
  const auto start = Clock::now();
  agendia::Status shown = OpenWindow(memory.platform, path);
  if (!shown.ok() || nodes != expected + 6 || !memory.toolkit->message_boxes.empty()) {
    std::fprintf(stderr, "memory load: %s, %d nodes\n", shown.description().c_str(), nodes);
  }
  return Milliseconds(loaded - start);
}

double QtLoad(const std::string& path, int expected) {
  using namespace agendia::platform;
  auto platform = std::make_shared<Platform>(
      Platform{MakeQtWindowSystem(), MakeQtToolkit(), MakeQtSystemLanguage(),
               agendia::resources::MakeFileResourceLibrary(AGENDIA_RESOURCE_TEXTS),
               agendia::db::MakeDefaultClient()});
  Clock::time_point shown_at;
  int rows = 0;
  std::function<void()> poll = [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) {
      QTimer::singleShot(0, poll);
      return;
    }
    shown_at = Clock::now();
    if (auto* tree = window->findChild<QTreeView*>(QStringLiteral("tvInfo"))) {
      const QAbstractItemModel* model = tree->model();
      for (int group = 0; group < model->rowCount(); ++group) rows += model->rowCount(model->index(group, 0));
    }
    window->close();
  };
  QTimer::singleShot(0, poll);
  const auto start = Clock::now();
  agendia::Status status = OpenWindow(platform, path);
  if (!status.ok() || rows != expected) {
    std::fprintf(stderr, "qt load: %s, %d memos listed\n", status.description().c_str(), rows);
  }
  return Milliseconds(shown_at - start);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  bool with_qt = true;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--memos" && i + 1 < argc) {
      sizes.push_back(std::atoi(argv[++i]));
    } else if (arg == "--no-qt") {
      with_qt = false;
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--memos N]... [--no-qt] [--runs R]\n", argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  if (with_qt && std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  const std::string folder =
      (std::filesystem::temp_directory_path() / ("agendia-bench-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(folder);
  std::vector<std::string> paths;
  for (int memos : sizes) {
    paths.push_back(folder + "/VXSystem-" + std::to_string(memos) + ".db");
    if (!BuildDatabase(paths.back(), memos)) return 1;
  }

  // Each tree is measured in runs of its own, alternating with the scan, so
  // that neither tree's memory use is charged to the other.
  const auto measure = [&](const char* title, double (*load_once)(const std::string&, int)) {
    std::printf("%s (median of %d runs)\n", title, runs);
    std::printf("%9s %10s %10s %8s %12s\n", "memos", "scan ms", "load ms", "x scan", "peak RSS MB");
    for (size_t i = 0; i < sizes.size(); ++i) {
      std::vector<double> scan, load;
      for (int run = 0; run < runs; ++run) {
        scan.push_back(BareScan(paths[i], sizes[i]));
        load.push_back(load_once(paths[i], sizes[i]));
      }
      std::printf("%9d %10.1f %10.1f %8.2f %12.1f\n", sizes[i], Median(scan), Median(load),
                  Median(load) / Median(scan), PeakResidentKb() / 1024.0);
      std::fflush(stdout);
    }
  };
  measure("In-memory tree", &MemoryLoad);
  if (with_qt) {
    static int qt_argc = 1;
    QApplication app(qt_argc, argv);
    measure("\nQt tree, offscreen, until the shown window handles its first event", &QtLoad);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
