#include "measure.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace agendia::bench {

namespace {

double Milliseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long ThreadFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length);
  }
  return 0;
}

}  // namespace

Mark Now() {
  return Mark{Milliseconds(CLOCK_MONOTONIC), Milliseconds(CLOCK_THREAD_CPUTIME_ID), ThreadFaults()};
}

Sample Since(const Mark& start) {
  const Mark end = Now();
  return Sample{end.wall_ms - start.wall_ms, end.cpu_ms - start.cpu_ms, end.faults - start.faults,
                0, 0};
}

long ResidentKb() { return StatusKb("VmRSS:"); }
long PeakResidentKb() { return StatusKb("VmHWM:"); }

std::string Format(const Sample& sample) {
  char line[160];
  std::snprintf(line, sizeof line, "sample %.3f %.3f %ld %ld %ld", sample.wall_ms, sample.cpu_ms,
                sample.faults, sample.rss_kb, sample.peak_kb);
  return line;
}

bool Parse(const std::string& line, Sample& sample) {
  std::istringstream in(line);
  std::string word;
  in >> word >> sample.wall_ms >> sample.cpu_ms >> sample.faults >> sample.rss_kb >> sample.peak_kb;
  return word == "sample" && !in.fail();
}

Spread SpreadOf(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return Spread{median, values.front(), values.back()};
}

std::string RunAndReadLastLine(const std::string& program, const std::vector<std::string>& args) {
  int out[2];
  if (pipe(out) != 0) return "";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string output;
  char buffer[4096];
  ssize_t got = 0;
  while (spawned == 0 && (got = read(out[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
  close(out[0]);
  if (spawned != 0) return "";
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
  while (!output.empty() && output.back() == '\n') output.pop_back();
  const std::size_t line_start = output.rfind('\n');
  return line_start == std::string::npos ? output : output.substr(line_start + 1);
}

}  // namespace agendia::bench
