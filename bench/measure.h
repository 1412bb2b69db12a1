#pragma once

// What one measured interval cost, and the statistics over repeated ones.

#include <string>
#include <vector>

namespace agendia::bench {

// A point from which an interval is measured: wall time, CPU time of the
// calling thread, and the page faults of that thread so far.
struct Mark {
  double wall_ms = 0;
  double cpu_ms = 0;
  long faults = 0;
};
Mark Now();

// The cost of one interval, with the resident memory at its end.
struct Sample {
  double wall_ms = 0;
  double cpu_ms = 0;
  long faults = 0;
  long rss_kb = 0;   // resident memory at the end, 0 when not measured
  long peak_kb = 0;  // the process's peak resident memory so far
};
Sample Since(const Mark& start);

// Resident and peak resident memory of this process, in KiB.
long ResidentKb();
long PeakResidentKb();

// One line that a child process prints for the driver, and its parse.
std::string Format(const Sample& sample);
bool Parse(const std::string& line, Sample& sample);

struct Spread {
  double median = 0;
  double min = 0;
  double max = 0;
};
Spread SpreadOf(std::vector<double> values);

// Runs `program` with `args` and returns the last line it printed, or ""
// when it failed (its error output is passed through).
std::string RunAndReadLastLine(const std::string& program, const std::vector<std::string>& args);

}  // namespace agendia::bench
