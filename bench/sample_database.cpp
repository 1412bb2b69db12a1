#include "sample_database.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace agendia::bench {

namespace {

bool Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", message ? message : "?");
    sqlite3_free(message);
    return false;
  }
  return true;
}

// A new memo file with the table and one prepared insert. Identifiers, send
// minutes, titles and kinds come from one seeded sequence, drawn in the same
// order for every memo, so every run writes the same file.
class MemoFile {
 public:
  explicit MemoFile(const std::string& path) {
    std::filesystem::remove(path);
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) return;
    std::ifstream schema_file(AGENDIA_SQL_DIR "/sqlite/ZA_Message.sql");
    std::stringstream schema;
    schema << schema_file.rdbuf();
    ok_ = Exec(db_, schema.str()) && Exec(db_, "pragma journal_mode=off") && Exec(db_, "begin") &&
          sqlite3_prepare_v2(db_,
                             "insert into ZA_Message values (?, 100, ?, ?, ?, ?, ?, ?, 0, ?, "
                             "'001', 2024)",
                             -1, &insert_, nullptr) == SQLITE_OK;
  }
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;
  ~MemoFile() {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
  }

  bool ok() const { return ok_; }

  // Adds memo number `i` of `user`, sent on `day`; `kind()` gives its kind
  // and may draw from the sequence.
  template <class Kind>
  void Add(int i, const std::string& user, const char* day, Kind kind) {
    char id[40], title[64], when[32];
    std::snprintf(id, sizeof id, "%08X-%04X-4%03X-8%03X-%012X", static_cast<unsigned>(random()),
                  i & 0xFFFF, i % 0xFFF, (i / 7) % 0xFFF, static_cast<unsigned>(i));
    const int minutes = static_cast<int>(random() % 1440);
    std::snprintf(title, sizeof title, "Memo %d: call the supplier about order %u", i,
                  static_cast<unsigned>(random() % 100000));
    std::snprintf(when, sizeof when, "%s %02d:%02d:00", day, minutes / 60, minutes % 60);
    sqlite3_bind_text(insert_, 1, id, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 2, title, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 3, "Details of the memo, a line or two of text.", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert_, 4, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 5, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 6, when, -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert_, 7, minutes);
    sqlite3_bind_int(insert_, 8, kind());
    ok_ = sqlite3_step(insert_) == SQLITE_DONE;
    sqlite3_reset(insert_);
  }

  // Commits, then runs `after` (empty for nothing).
  bool Finish(const std::string& after) {
    return ok_ && Exec(db_, "commit") && (after.empty() || Exec(db_, after));
  }

  std::mt19937 random{20240301};

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  bool ok_ = false;
};

}  // namespace

bool BuildSampleDatabase(const std::string& path, int memos) {
  MemoFile file(path);
  for (int i = 0; file.ok() && i < 2 * memos; ++i) {
    const bool mine = i % 2 == 0;
    file.Add(i, mine ? kUser : "user" + std::to_string(i % 97), kCurrentDay,
             [&] { return static_cast<int>(file.random() % 6); });
  }
  return file.Finish("");
}

bool BuildSharedDatabase(const std::string& path, int rows, int users) {
  MemoFile file(path);
  for (int i = 0; file.ok() && i < rows; ++i) {
    const bool mine = i % users == 0;
    const bool due = mine && i / users < kSharedDue;  // i / users: which of the user's memos
    file.Add(i, mine ? kUser : "user" + std::to_string(i % users), due ? kCurrentDay : "2024-02-01",
             [&] { return mine ? (due ? 1 : 0) : static_cast<int>(file.random() % 6); });
  }
  return file.Finish("analyze");
}

}  // namespace agendia::bench
