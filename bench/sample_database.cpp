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

}  // namespace

bool BuildSampleDatabase(const std::string& path, int memos) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
  std::ifstream schema_file(AGENDIA_SQL_DIR "/sqlite/ZA_Message.sql");
  std::stringstream schema;
  schema << schema_file.rdbuf();
  bool ok = Exec(db, schema.str()) && Exec(db, "pragma journal_mode=off") && Exec(db, "begin");
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
    const std::string user = mine ? kUser : "user" + std::to_string(i % 97);
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

bool BuildSharedDatabase(const std::string& path, int rows, int users) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
  std::ifstream schema_file(AGENDIA_SQL_DIR "/sqlite/ZA_Message.sql");
  std::stringstream schema;
  schema << schema_file.rdbuf();
  bool ok = Exec(db, schema.str()) && Exec(db, "pragma journal_mode=off") && Exec(db, "begin");
  sqlite3_stmt* insert = nullptr;
  ok = ok && sqlite3_prepare_v2(db,
                                "insert into ZA_Message values (?, 100, ?, ?, ?, ?, ?, ?, 0, ?, "
                                "'001', 2024)",
                                -1, &insert, nullptr) == SQLITE_OK;
  std::mt19937 random(20240301);
  char id[40], title[64], when[32];
  for (int i = 0; ok && i < rows; ++i) {
    const bool mine = i % users == 0;
    const int nth = i / users;  // of the user's memos
    std::snprintf(id, sizeof id, "%08X-%04X-4%03X-8%03X-%012X", static_cast<unsigned>(random()),
                  i & 0xFFFF, i % 0xFFF, (i / 7) % 0xFFF, static_cast<unsigned>(i));
    const int minutes = static_cast<int>(random() % 1440);
    std::snprintf(title, sizeof title, "Memo %d: call the supplier about order %u", i,
                  static_cast<unsigned>(random() % 100000));
    const bool due = mine && nth < kSharedDue;
    std::snprintf(when, sizeof when, "%s %02d:%02d:00", due ? kCurrentDay : "2024-02-01",
                  minutes / 60, minutes % 60);
    const std::string user = mine ? kUser : "user" + std::to_string(i % users);
    const int kind = mine ? (due ? 1 : 0) : static_cast<int>(random() % 6);
    sqlite3_bind_text(insert, 1, id, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, title, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, "Details of the memo, a line or two of text.", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 4, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 5, user.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 6, when, -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 7, minutes);
    sqlite3_bind_int(insert, 8, kind);
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ok = ok && Exec(db, "commit") && Exec(db, "analyze");
  sqlite3_close(db);
  return ok;
}

}  // namespace agendia::bench
