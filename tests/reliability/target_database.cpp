#include "reliability/target_database.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>

namespace agendia::testing {
namespace {

// An SQLite file; the dump is read through the sqlite3 library itself, byte
// for byte (text with NUL bytes included).
class SqliteTarget final : public TargetDatabase {
 public:
  std::string ConnectionString() const override { return database_.ConnectionString(); }
  void Insert(const MemoRow& row) override { database_.Insert(row); }
  std::optional<std::string> File() const override { return database_.path(); }

  Dump ReadDump() override {
    Dump dump;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database_.path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << database_.path();
      sqlite3_close(db);
      return dump;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "select * from ZA_Message", -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db);
    }
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
      DumpRow row;
      std::string id;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const std::string name = sqlite3_column_name(statement, i);
        std::string value;
        switch (sqlite3_column_type(statement, i)) {
          case SQLITE_NULL: value = kNull; break;
          case SQLITE_INTEGER: value = Integer(sqlite3_column_int64(statement, i)); break;
          case SQLITE_FLOAT: value = "real:" + std::to_string(sqlite3_column_double(statement, i)); break;
          case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, i));
            value = "blob:" + std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, i)));
            break;
          }
          default: {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            value = Text(std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, i))));
          }
        }
        if (name == "cMsgId") id = value.substr(value.find(':') + 1);
        row[name] = std::move(value);
      }
      dump[id] = std::move(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return dump;
  }

 private:
  MemoDatabase database_;
};

}  // namespace

std::unique_ptr<TargetDatabase> MakeTargetDatabase() {
  const char* backend = std::getenv("AGENDIA_RELIABILITY_BACKEND");
  if (backend == nullptr || std::string(backend).empty() || std::string(backend) == "sqlite") {
    return std::make_unique<SqliteTarget>();
  }
  return nullptr;
}

}  // namespace agendia::testing
