// How fast the calendar opens at scale, measured the way a user meets it.
//
//   agendia-bench-first-open [--memos N]... [--million] [--pairs P] [--csv FILE]
//                            [--portal PROGRAM --dialog PROGRAM]
//
// For each N (default 1,000, 10,000 and 100,000; --million adds 1,000,000)
// it writes a database with N memos of one user, all due on the current day,
// and N memos of other users; --shared adds a portal's shared table,
// 5,000,000 memos of 10,000 users, where the user has 500 memos and 45 of
// them are due (--quick: only 1,000 memos and that table at 500,000 memos of
// 1,000 users, 3 rounds, to check that everything runs). Then it runs P
// rounds (default 7), each a fresh process per measure, one after the other:
//   reference  the window's select through the sqlite3 C library, every
//              column of every row read (reference_scan.h)
//   first      the first window of a process, offscreen, until its first
//              whole paint (qt_first_open.h)
//   warm       a save in that window: the update, the reload of the tree and
//              the repaint
// and, when the X programs are given and $DISPLAY is set (bench/run.sh runs
// it under Xvfb), P rounds of
//   dialog     a trivial Qt dialog of the calendar's size, from the program's
//              start until its window is mapped
//   portal     the demo portal opening the calendar at once, from its start
//              until the calendar's window is mapped.
// It prints medians with their spread, wall time beside the CPU time of the
// main thread, the ratio of each round's pair (first and warm to reference,
// portal to dialog), the resident memory per memo listed, and writes a CSV.
//
// Internal: --child reference|first|warm DATABASE N runs one measure (by hand,
// under a profiler, too); --child database DATABASE N writes a database.

#include "map_watch.h"
#include "measure.h"
#include "qt_first_open.h"
#include "reference_scan.h"
#include "sample_database.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace agendia::bench {
namespace {

constexpr const char* kCalendarTitle = "Calendar Memos";  // en-us
constexpr const char* kDialogTitle = "Trivial dialog";

struct Options {
  std::vector<int> sizes;
  // The shared table: rows of that many users (0: not measured).
  int shared_rows = 0;
  int shared_users = 0;
  int pairs = 7;
  std::string csv = "bench-first-open.csv";
  std::string portal;
  std::string dialog;
};

struct Series {
  std::vector<Sample> samples;
  std::vector<double> wall_ratio;  // to the other half of each round's pair
  std::vector<double> cpu_ratio;
};

std::string Self() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

double LoadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  double one = 0;
  loadavg >> one;
  return one;
}

// One database the rounds run on.
struct Shape {
  std::string label;  // the first column of the table and the CSV
  std::string path;
  int listed = 0;     // memos the tree lists
  int read = 0;       // rows the select yields
  bool scaling = false;  // one of the sizes whose per-memo cost is compared
};

bool RunChild(const std::string& mode, const std::string& path, int memos, Sample& sample) {
  const std::string line = RunAndReadLastLine(Self(), {"--child", mode, path, std::to_string(memos)});
  if (!Parse(line, sample)) {
    std::fprintf(stderr, "the %s run at %d memos failed\n", mode.c_str(), memos);
    return false;
  }
  return true;
}

bool TimeMap(const Options& options, bool portal, const std::string& path, int width, int height,
             Sample& sample, Mapped* geometry = nullptr) {
  const Mapped mapped =
      portal ? TimeToMap(options.portal,
                         {"--db", "Provider=SQLite;Data Source=" + path, "--user", kUser, "--day",
                          kCurrentDay, "--lang", "en-us", "--open"},
                         kCalendarTitle, 300000)
             : TimeToMap(options.dialog, {std::to_string(width), std::to_string(height)},
                         kDialogTitle, 60000);
  if (!mapped.ok) return false;
  sample = Sample{mapped.wall_ms, mapped.cpu_ms, 0, 0, 0};
  if (geometry) *geometry = mapped;
  return true;
}

void Add(Series& series, const Sample& sample, const Sample& floor) {
  series.samples.push_back(sample);
  series.wall_ratio.push_back(sample.wall_ms / floor.wall_ms);
  series.cpu_ratio.push_back(sample.cpu_ms / floor.cpu_ms);
}

Spread Of(const Series& series, double Sample::*field) {
  std::vector<double> values;
  for (const Sample& sample : series.samples) values.push_back(sample.*field);
  return SpreadOf(values);
}

Spread FaultsOf(const Series& series) {
  std::vector<double> values;
  for (const Sample& sample : series.samples) values.push_back(static_cast<double>(sample.faults));
  return SpreadOf(values);
}

Spread RssOf(const Series& series) {
  std::vector<double> values;
  for (const Sample& sample : series.samples) values.push_back(static_cast<double>(sample.rss_kb));
  return SpreadOf(values);
}

int Measure(const Options& options) {
  // Qt's children warn about it on every start otherwise.
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("agendia-bench-runtime-" + std::to_string(getuid()));
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("agendia-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::vector<Shape> shapes;
  for (int memos : options.sizes) {
    Shape shape{std::to_string(memos), (folder / ("VXSystem-" + std::to_string(memos) + ".db")).string(),
                memos, memos, true};
    std::printf("writing %d memos of the user and %d of others...\n", memos, memos);
    std::fflush(stdout);
    if (!BuildSampleDatabase(shape.path, memos)) return 1;
    shapes.push_back(shape);
  }
  if (options.shared_rows > 0) {
    const int users = options.shared_users;
    Shape shape{std::to_string(kSharedDue) + "/" + std::to_string(options.shared_rows / users),
                (folder / "VXSystem-shared.db").string(), kSharedDue,
                options.shared_rows / users, false};
    std::printf("writing a shared table of %d memos of %d users...\n",
                options.shared_rows / users * users, users);
    std::fflush(stdout);
    if (!BuildSharedDatabase(shape.path, options.shared_rows / users * users, users)) return 1;
    shapes.push_back(shape);
  }
  // A window without memos: what the process holds before any memo.
  const std::string empty = (folder / "VXSystem-0.db").string();
  if (!BuildSampleDatabase(empty, 0)) return 1;
  Series baseline;
  for (int run = 0; run < 3; ++run) {
    Sample sample;
    if (!RunChild("first", empty, 0, sample)) return 1;
    baseline.samples.push_back(sample);
  }
  const double baseline_kb = RssOf(baseline).median;

  const bool with_map = !options.portal.empty() && !options.dialog.empty() &&
                        std::getenv("DISPLAY") != nullptr;
  if (!with_map) std::printf("(no X display or programs given: the map times are left out)\n");
  int width = 0, height = 0;

  std::FILE* csv = std::fopen(options.csv.c_str(), "w");
  if (csv == nullptr) {
    std::perror(options.csv.c_str());
    return 1;
  }
  std::fprintf(csv,
               "memos,measure,runs,wall_ms,wall_min_ms,wall_max_ms,cpu_ms,cpu_min_ms,cpu_max_ms,"
               "faults,ratio_wall,ratio_wall_min,ratio_wall_max,ratio_cpu,ratio_cpu_min,"
               "ratio_cpu_max,rss_bytes_per_memo,load_average\n");
  std::printf("\n(memos: listed, or listed/read of the user on the shared table)\n");
  std::printf("%9s %-9s %24s %24s %8s %21s %21s %9s %6s\n", "memos", "measure",
              "wall ms median [min-max]", "cpu ms median [min-max]", "faults", "x floor wall",
              "x floor cpu", "B/memo", "load");

  std::map<int, double> first_cpu_per_memo, first_wall_per_memo;
  for (const Shape& shape : shapes) {
    const std::string& path = shape.path;
    const int memos = shape.listed;
    const double load_before = LoadAverage();
    // Once untimed, so that every timed run finds the file in the page cache.
    Sample ignored;
    if (!RunChild("reference", path, shape.read, ignored) ||
        !RunChild("first", path, memos, ignored)) {
      return 1;
    }
    Series reference, first, warm, dialog, portal;
    for (int round = 0; round < options.pairs; ++round) {
      Sample r, f, w;
      if (!RunChild("reference", path, shape.read, r) || !RunChild("first", path, memos, f) ||
          !RunChild("warm", path, memos, w)) {
        return 1;
      }
      Add(reference, r, r);
      Add(first, f, r);
      Add(warm, w, r);
    }
    if (with_map) {
      Sample d, p;
      Mapped geometry;
      if (width == 0) {
        // The calendar's size, for a dialog of the same size.
        if (!TimeMap(options, true, path, 0, 0, p, &geometry)) return 1;
        width = geometry.width;
        height = geometry.height;
      }
      if (!TimeMap(options, false, path, width, height, d) || !TimeMap(options, true, path, 0, 0, p)) {
        return 1;
      }
      for (int round = 0; round < options.pairs; ++round) {
        if (!TimeMap(options, false, path, width, height, d) ||
            !TimeMap(options, true, path, 0, 0, p)) {
          return 1;
        }
        Add(dialog, d, d);
        Add(portal, p, d);
      }
    }
    const double load = (load_before + LoadAverage()) / 2;

    const auto row = [&](const char* name, const Series& series, bool ratio, bool memory) {
      if (series.samples.empty()) return;
      const Spread wall = Of(series, &Sample::wall_ms), cpu = Of(series, &Sample::cpu_ms);
      const Spread wall_ratio = SpreadOf(series.wall_ratio), cpu_ratio = SpreadOf(series.cpu_ratio);
      const double faults = FaultsOf(series).median;
      const double per_memo =
          memory && memos > 0 ? (RssOf(series).median - baseline_kb) * 1024.0 / memos : 0;
      char wall_text[48], cpu_text[48], wall_ratio_text[40] = "", cpu_ratio_text[40] = "",
                                         memory_text[16] = "";
      std::snprintf(wall_text, sizeof wall_text, "%.1f [%.1f-%.1f]", wall.median, wall.min, wall.max);
      std::snprintf(cpu_text, sizeof cpu_text, "%.1f [%.1f-%.1f]", cpu.median, cpu.min, cpu.max);
      if (ratio) {
        std::snprintf(wall_ratio_text, sizeof wall_ratio_text, "%.2f [%.2f-%.2f]",
                      wall_ratio.median, wall_ratio.min, wall_ratio.max);
        std::snprintf(cpu_ratio_text, sizeof cpu_ratio_text, "%.2f [%.2f-%.2f]", cpu_ratio.median,
                      cpu_ratio.min, cpu_ratio.max);
      }
      if (memory) std::snprintf(memory_text, sizeof memory_text, "%.0f", per_memo);
      std::printf("%9s %-9s %24s %24s %8.0f %21s %21s %9s %6.2f\n", shape.label.c_str(), name,
                  wall_text, cpu_text, faults, wall_ratio_text, cpu_ratio_text, memory_text, load);
      std::fprintf(csv, "%s,%s,%zu,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%.0f,", shape.label.c_str(), name,
                   series.samples.size(), wall.median, wall.min, wall.max, cpu.median, cpu.min,
                   cpu.max, faults);
      if (ratio) {
        std::fprintf(csv, "%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,", wall_ratio.median, wall_ratio.min,
                     wall_ratio.max, cpu_ratio.median, cpu_ratio.min, cpu_ratio.max);
      } else {
        std::fprintf(csv, ",,,,,,");
      }
      if (memory) std::fprintf(csv, "%.1f", per_memo);
      std::fprintf(csv, ",%.2f\n", load);
    };
    row("reference", reference, false, false);
    row("first", first, true, true);
    row("warm", warm, true, false);
    row("dialog", dialog, false, false);
    row("portal", portal, true, false);
    std::fflush(stdout);
    std::fflush(csv);
    if (!shape.scaling) continue;
    first_cpu_per_memo[memos] = Of(first, &Sample::cpu_ms).median / memos * 1000.0;
    first_wall_per_memo[memos] = Of(first, &Sample::wall_ms).median / memos * 1000.0;
  }
  std::fclose(csv);

  std::printf("\nfirst open per memo (us, wall / cpu):");
  for (const auto& [memos, cpu] : first_cpu_per_memo) {
    std::printf("  %d: %.2f / %.2f", memos, first_wall_per_memo[memos], cpu);
  }
  if (first_cpu_per_memo.count(1000000) && first_cpu_per_memo.count(100000)) {
    std::printf("\nper memo at 1,000,000 against 100,000: wall %.2fx, cpu %.2fx",
                first_wall_per_memo[1000000] / first_wall_per_memo[100000],
                first_cpu_per_memo[1000000] / first_cpu_per_memo[100000]);
  }
  std::printf("\nresident memory of a window without memos: %.1f MiB; load average %.2f\n",
              baseline_kb / 1024.0, LoadAverage());
  std::printf("CSV written to %s\n", options.csv.c_str());
  std::filesystem::remove_all(folder);
  return 0;
}

int Child(const std::string& mode, const std::string& path, int memos) {
  if (mode == "reference") {
    int rows = 0;
    Sample sample = ReferenceScan(path, rows);
    if (rows != memos) {
      std::fprintf(stderr, "reference: %d rows, not %d\n", rows, memos);
      return 1;
    }
    std::printf("%s\n", Format(sample).c_str());
    return 0;
  }
  if (mode == "first" || mode == "warm") return RunQtChild(mode, path, memos);
  if (mode == "database") return BuildSampleDatabase(path, memos) ? 0 : 1;
  std::fprintf(stderr, "unknown measure %s\n", mode.c_str());
  return 2;
}

}  // namespace
}  // namespace agendia::bench

int main(int argc, char** argv) {
  using namespace agendia::bench;
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--child" && i + 3 < argc) {
      return Child(argv[i + 1], argv[i + 2], std::atoi(argv[i + 3]));
    } else if (arg == "--memos" && has_value) {
      options.sizes.push_back(std::atoi(argv[++i]));
    } else if (arg == "--shared") {
      options.shared_rows = 5000000;
      options.shared_users = 10000;
    } else if (arg == "--quick") {
      // A check that every measure runs: one small size, the shared table
      // at a tenth, three rounds.
      options.sizes.push_back(1000);
      options.shared_rows = 500000;
      options.shared_users = 1000;
      options.pairs = 3;
    } else if (arg == "--million") {
      options.sizes.push_back(1000000);
    } else if (arg == "--pairs" && has_value) {
      options.pairs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--csv" && has_value) {
      options.csv = argv[++i];
    } else if (arg == "--portal" && has_value) {
      options.portal = argv[++i];
    } else if (arg == "--dialog" && has_value) {
      options.dialog = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: %s [--memos N]... [--million] [--shared | --quick] [--pairs P] "
                   "[--csv FILE] [--portal PROGRAM --dialog PROGRAM]\n",
                   argv[0]);
      return 2;
    }
  }
  if (options.sizes.empty() ||
      (options.sizes.size() == 1 && options.sizes[0] == 1000000 && options.shared_rows == 0)) {
    options.sizes.insert(options.sizes.begin(), {1000, 10000, 100000});
  }
  return Measure(options);
}
