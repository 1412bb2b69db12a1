#include "reference_scan.h"

#include "db/sqlite/sqlite_dialect.h"
#include "memo/statements.h"
#include "sample_database.h"

#include <sqlite3.h>

#include <cstdio>

namespace agendia::bench {

Sample ReferenceScan(const std::string& path, int& rows) {
  const std::string text = db::AdaptForSqlite(memo::SelectByReceiver(kUser));
  const Mark start = Now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  sqlite3_stmt* select = nullptr;
  if (sqlite3_prepare_v2(db, text.c_str(), -1, &select, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "reference: %s\n", sqlite3_errmsg(db));
  }
  rows = 0;
  // Summed so that no read can be left out as unused.
  std::size_t checksum = 0;
  const int columns = sqlite3_column_count(select);
  while (sqlite3_step(select) == SQLITE_ROW) {
    for (int column = 0; column < columns; ++column) {
      switch (sqlite3_column_type(select, column)) {
        case SQLITE_INTEGER:
          checksum += static_cast<std::size_t>(sqlite3_column_int64(select, column));
          break;
        case SQLITE_FLOAT:
          checksum += static_cast<std::size_t>(sqlite3_column_double(select, column));
          break;
        case SQLITE_TEXT: {
          const unsigned char* chars = sqlite3_column_text(select, column);
          const int size = sqlite3_column_bytes(select, column);
          checksum += static_cast<std::size_t>(size) + (size > 0 ? chars[size - 1] : 0);
          break;
        }
        case SQLITE_BLOB:
          checksum += static_cast<std::size_t>(sqlite3_column_bytes(select, column));
          break;
        default:
          break;
      }
    }
    ++rows;
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  Sample sample = Since(start);
  if (checksum == 0 && rows > 0) std::fprintf(stderr, "reference: nothing read\n");
  return sample;
}

}  // namespace agendia::bench
