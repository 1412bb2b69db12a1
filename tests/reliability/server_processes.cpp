#include "reliability/server_processes.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

extern char** environ;

namespace agendia::testing {
namespace {

constexpr const char* kHolderName = "agendia-lock-holder";

// The processes whose parent is `parent`, from /proc.
std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...; comm may hold spaces and parentheses.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent) {
      children.push_back(static_cast<pid_t>(std::stol(name)));
    }
  }
  return children;
}

}  // namespace

ServerProcesses::ServerProcesses() {
  const char* state = std::getenv("AGENDIA_PG_STATE");
  const std::string state_dir = state ? state : AGENDIA_PG_STATE_DIR;
  std::ifstream file(state_dir + "/cluster.env");
  for (std::string line; std::getline(file, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values_[line.substr(0, equals)] = line.substr(equals + 1);
  }
  if (values_["CLUSTER_DIR"].empty() || values_["PGPORT"].empty()) {
    ADD_FAILURE() << "no running PostgreSQL cluster is described in " << state_dir;
  }
}

ServerProcesses::~ServerProcesses() {
  if (paused_) Continue();
  ReleaseTableLock();
}

bool ServerProcesses::Signal(int signal) const {
  std::ifstream pid_file(values_.at("CLUSTER_DIR") + "/data/postmaster.pid");
  long postmaster = 0;
  if (!(pid_file >> postmaster) || postmaster <= 0) return false;
  bool sent = kill(static_cast<pid_t>(postmaster), signal) == 0;
  for (pid_t child : ChildrenOf(static_cast<pid_t>(postmaster))) sent = kill(child, signal) == 0 && sent;
  return sent;
}

bool ServerProcesses::Psql(const std::string& sql, std::string* output) const {
  const std::string command = "PGPASSWORD='" + values_.at("PGPASSWORD") + "' " +
                              values_.at("AGENDIA_PG_BIN") + "/psql -X -q -At -h 127.0.0.1 -p " +
                              values_.at("PGPORT") + " -U " + values_.at("PGUSER") + " -d " +
                              values_.at("PGDATABASE") + " -c \"" + sql + "\" 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char chunk[512];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, got);
  const bool ok = pclose(pipe) == 0;
  if (output) *output = text;
  return ok;
}

bool ServerProcesses::HoldTableLock() {
  const std::string psql = values_.at("AGENDIA_PG_BIN") + "/psql";
  std::vector<std::string> args = {
      psql, "-X", "-q", "-h", "127.0.0.1", "-p", values_.at("PGPORT"), "-U", values_.at("PGUSER"),
      "-d", values_.at("PGDATABASE"), "-c",
      "begin; lock table ZA_Message in access exclusive mode; select pg_sleep(60); commit"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = {"PGPASSWORD=" + values_.at("PGPASSWORD"),
                                          std::string("PGAPPNAME=") + kHolderName, "LC_ALL=C"};
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  const int started = posix_spawn(&holder_, psql.c_str(), &quiet, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&quiet);
  if (started != 0) {
    holder_ = -1;
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string granted;
    if (Psql("select count(*) from pg_locks l join pg_stat_activity a on a.pid = l.pid "
             "where a.application_name = '" + std::string(kHolderName) +
                 "' and l.mode = 'AccessExclusiveLock' and l.granted and l.relation = 'za_message'::regclass",
             &granted) &&
        granted.rfind("1", 0) == 0) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

bool ServerProcesses::AwaitInsertWaitingForLock(int seconds) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    std::string waiting;
    if (Psql("select count(*) from pg_stat_activity where wait_event_type = 'Lock' "
             "and query ilike 'insert%'",
             &waiting) &&
        !waiting.empty() && waiting[0] != '0') {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

void ServerProcesses::ReleaseTableLock() {
  if (holder_ <= 0) return;
  Psql("select pg_terminate_backend(pid) from pg_stat_activity where application_name = '" +
       std::string(kHolderName) + "'");
  int status = 0;
  waitpid(holder_, &status, 0);
  holder_ = -1;
}

}  // namespace agendia::testing
