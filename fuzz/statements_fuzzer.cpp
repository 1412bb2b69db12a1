// Statement building: any values put through the insert and then the update,
// run on a real in-memory SQLite database as the SQLite backend runs them
// (dialect rewrite, NewID()), are stored and read back byte for byte, each by
// exactly one statement, counted with SQLite's trace hook. A year that is not
// a whole number is refused before any statement exists. Values holding a
// NUL byte are refused by the database client (not here, where the text goes
// to SQLite directly).

#include "db/sqlite/sqlite_dialect.h"
#include "memo/statements.h"
#include "base/date_text.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int statements_run = 0;

int CountStatement(unsigned, void*, void*, void*) {
  ++statements_run;
  return 0;
}

void NewId(sqlite3_context* context, int, sqlite3_value**) {
  static long next = 0;
  const std::string id = "ID-" + std::to_string(++next);
  sqlite3_result_text(context, id.c_str(), -1, SQLITE_TRANSIENT);
}

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* opened = nullptr;
    if (sqlite3_open(":memory:", &opened) != SQLITE_OK) std::abort();
    std::ifstream file(AGENDIA_MEMO_TABLE_SQL);
    std::stringstream schema;
    schema << file.rdbuf();
    if (sqlite3_exec(opened, schema.str().c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    sqlite3_create_function(opened, "NewID", 0, SQLITE_UTF8, nullptr, NewId, nullptr, nullptr);
    sqlite3_trace_v2(opened, SQLITE_TRACE_STMT, CountStatement, nullptr);
    return opened;
  }();
  return db;
}

// Runs the statement as the backend does; gives the number of statements run.
int Run(const std::string& statement) {
  statements_run = 0;
  const std::string adapted = agendia::db::AdaptForSqlite(statement);
  if (sqlite3_exec(Database(), adapted.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
  return statements_run;
}

std::string Column(sqlite3_stmt* row, int index) {
  const auto* text = static_cast<const char*>(sqlite3_column_blob(row, index));
  return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(row, index))) : std::string();
}

// The one memo row's texts: id, title, content, sender, receiver, send time, account.
std::vector<std::string> OnlyRow() {
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(Database(),
                     "select cMsgId, cMsgTitle, cMsgContent, cSender, cReceiver, dSend, Account, "
                     "nValidDay, DisplayPeriods from ZA_Message",
                     -1, &select, nullptr);
  std::vector<std::string> texts;
  int rows = 0;
  while (sqlite3_step(select) == SQLITE_ROW) {
    ++rows;
    for (int i = 0; i < 7; ++i) texts.push_back(Column(select, i));
    texts.push_back(std::to_string(sqlite3_column_int64(select, 7)));
    texts.push_back(std::to_string(sqlite3_column_int64(select, 8)));
  }
  sqlite3_finalize(select);
  if (rows != 1) std::abort();
  return texts;
}

// Save writes the send time formatted; a column declared DATETIME would store
// other texts that look like numbers as numbers.
std::string SendTime(FuzzedDataProvider& input) {
  agendia::base::DateTime t;
  t.date.year = input.ConsumeIntegralInRange(100, 9999);
  t.date.month = input.ConsumeIntegralInRange(1, 12);
  t.date.day = input.ConsumeIntegralInRange(1, 28);
  t.hour = input.ConsumeIntegralInRange(0, 23);
  t.minute = input.ConsumeIntegralInRange(0, 59);
  return agendia::base::FormatDateTime(t);
}

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  agendia::memo::NewMemo memo;
  memo.title = input.ConsumeRandomLengthString(64);
  memo.content = input.ConsumeRandomLengthString(256);
  memo.user = input.ConsumeRandomLengthString(32);
  memo.send_time = SendTime(input);
  memo.minutes_of_day = input.ConsumeIntegral<int>();
  memo.kind = input.ConsumeIntegral<int16_t>();
  memo.account = input.ConsumeRandomLengthString(16);
  memo.year = input.ConsumeBool() ? std::to_string(input.ConsumeIntegral<int32_t>() % 100000)
                                  : input.ConsumeRandomLengthString(12);
  agendia::memo::MemoChange change;
  change.title = input.ConsumeRandomLengthString(64);
  change.content = input.ConsumeRandomLengthString(256);
  change.send_time = SendTime(input);
  change.minutes_of_day = input.ConsumeIntegral<int>();
  change.kind = input.ConsumeIntegral<int16_t>();

  auto insert = agendia::memo::InsertMemo(memo);
  if (!insert.ok()) {
    if (agendia::memo::IsWholeNumber(memo.year)) std::abort();
    return 0;
  }
  for (const std::string* text : {&memo.title, &memo.content, &memo.user, &memo.account,
                                  &change.title, &change.content}) {
    if (HasNul(*text)) return 0;
  }

  if (Run(*insert) != 1) std::abort();
  std::vector<std::string> row = OnlyRow();
  const std::vector<std::string> inserted = {row[0], memo.title, memo.content, memo.user, memo.user,
                                             memo.send_time, memo.account,
                                             std::to_string(memo.minutes_of_day), std::to_string(memo.kind)};
  if (row != inserted) std::abort();

  const std::string id = row[0];
  if (Run(agendia::memo::UpdateMemo(change, id, memo.user)) != 1) std::abort();
  row = OnlyRow();
  const std::vector<std::string> updated = {id, change.title, change.content, memo.user, memo.user,
                                            change.send_time, memo.account,
                                            std::to_string(change.minutes_of_day), std::to_string(change.kind)};
  if (row != updated) std::abort();

  if (Run(agendia::memo::DeleteMemo(id, memo.user)) != 1) std::abort();
  return 0;
}
