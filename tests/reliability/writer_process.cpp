#include "reliability/writer_process.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <vector>

extern char** environ;

namespace agendia::testing {

pid_t StartWriter(const std::string& connection, const std::string& name, int count,
                  const std::string& log) {
  std::vector<std::string> args = {AGENDIA_MEMO_WRITER, connection, name, std::to_string(count), log};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int started = posix_spawn(&pid, AGENDIA_MEMO_WRITER, nullptr, nullptr, argv.data(), environ);
  EXPECT_EQ(started, 0) << "cannot start " << AGENDIA_MEMO_WRITER;
  return started == 0 ? pid : -1;
}

int WaitFor(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1000;
  if (WIFSIGNALED(status)) return -WTERMSIG(status);
  return WEXITSTATUS(status);
}

std::map<std::string, std::string> ReadOutcomes(const std::string& log) {
  std::map<std::string, std::string> outcomes;
  std::ifstream file(log);
  std::string outcome, title;
  while (file >> outcome >> title) outcomes[title] = outcome;
  return outcomes;
}

namespace {
struct Database {
  sqlite3* db = nullptr;
  explicit Database(const std::string& path) {
    // Read and write, so that a journal left by a killed writer is rolled back.
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << path;
    }
    sqlite3_busy_timeout(db, 10000);
  }
  ~Database() { sqlite3_close(db); }
};
}  // namespace

std::string IntegrityCheck(const std::string& path) {
  Database database(path);
  std::string result;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database.db, "pragma integrity_check", -1, &statement, nullptr) != SQLITE_OK) {
    return sqlite3_errmsg(database.db);
  }
  while (sqlite3_step(statement) == SQLITE_ROW) {
    if (!result.empty()) result += "; ";
    result += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  }
  sqlite3_finalize(statement);
  return result;
}

int SizeFromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return fallback;
  const int size = std::atoi(value);
  return size > 0 ? size : fallback;
}

}  // namespace agendia::testing
