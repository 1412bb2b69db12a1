#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace agendia::testing {

// Another connection's exclusive lock on an SQLite file, as a writer in
// another process would hold it, taken at once or not at all.
class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::filesystem::path& path) {
    int result = sqlite3_open_v2(path.c_str(), &database_, SQLITE_OPEN_READWRITE, nullptr);
    if (result == SQLITE_OK) result = sqlite3_exec(database_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    held_ = result == SQLITE_OK;
    if (!held_) error_ = database_ ? sqlite3_errmsg(database_) : sqlite3_errstr(result);
  }
  ~ExclusiveLock() {
    if (held_) sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(database_);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  bool held() const { return held_; }
  const std::string& error() const { return error_; }

 private:
  sqlite3* database_ = nullptr;
  bool held_ = false;
  std::string error_;
};

}  // namespace agendia::testing
