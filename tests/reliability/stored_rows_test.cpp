// Hostile corpus, stored rows: rows that other programs of the host wrote into
// the memo table. Each is loaded beside a valid memo of the user and a memo of
// another user; a readable one is shown byte for byte, modified (only the
// hour) and deleted; an unreadable one is reported and can be neither
// modified nor deleted by mistake; no step touches any other row.

#include "reliability/corpus_fixture.h"

#include <cstdio>

namespace agendia::testing {
namespace {

enum class Reach {
  kReadable,    // listed, shown, modified and deleted
  kUnreadable,  // listed, but its detail read fails: nothing may act on it
  kUnreachable, // listed, but no row of the user's answers its key
  kUnlisted,    // not in the tree; one message at load when `reported`
};

struct StoredCase {
  const char* name;
  MemoRow row;
  Reach reach;
  bool reported = false;  // the load reports unreadable rows
  std::string kind_after_modify = Integer(1);
  std::vector<MemoRow> also = {};  // further rows of the case
  // The row's date is a text that is no date-time, which only a date column
  // that keeps any text can hold.
  bool date_is_no_date = false;
};

MemoRow Row(std::string id, std::optional<int64_t> kind, std::optional<std::string> send,
            std::optional<std::string> title = "title", std::optional<std::string> content = "content") {
  MemoRow row = Memo(std::move(id), kind);
  row.send = std::move(send);
  row.title = std::move(title);
  row.content = std::move(content);
  return row;
}

std::vector<StoredCase> Cases() {
  const std::string day = "2024-03-01 09:30:00";
  MemoRow other_type = Row("T-type", 1, day);
  other_type.type = 101;
  MemoRow alice_x = Row("X", 1, day, "alice's");
  alice_x.receiver = alice_x.sender = "alice";
  MemoRow upper_receiver = Row("U-upper", 1, day);
  upper_receiver.receiver = "DEMO";
  return {
      {"plain daily memo", Row("R-plain", 1, day), Reach::kReadable},
      {"once memo of the day", Row("R-once", 0, day), Reach::kReadable, false, Integer(0)},
      {"null kind reads as once", Row("R-nullkind", std::nullopt, day), Reach::kReadable, false, Integer(0)},
      {"weekly memo on its weekday", Row("R-week", 2, "2024-02-23 08:00:00"), Reach::kReadable, false, Integer(2)},
      {"title longer than the typing limit", Row("R-long", 1, day, std::string(200, 'T')), Reach::kReadable},
      {"content longer than the typing limit", Row("R-longc", 1, day, "t", std::string(4000, 'c')), Reach::kReadable},
      {"CRLF content", Row("R-crlf", 1, day, "t", "one\r\ntwo\r\n"), Reach::kReadable},
      {"LF content", Row("R-lf", 1, day, "t", "one\ntwo"), Reach::kReadable},
      {"no-break space and line separator", Row("R-nbsp", 1, day, "a\xC2\xA0" "b", "c\xE2\x80\xA8" "d"), Reach::kReadable},
      {"emoji as 24th character", Row("R-emoji", 1, day, std::string(23, 'x') + "\xF0\x9F\x98\x80"), Reach::kReadable},
      {"apostrophes in every text", Row("R-'q'", 1, day, "it's", "'; --"), Reach::kReadable},
      {"null title and content", Row("R-null", 1, day, std::nullopt, std::nullopt), Reach::kReadable},
      {"SQL Server datetime text", Row("R-sqlsrv", 0, "2024-03-01 09:30:00.000"), Reach::kReadable, false, Integer(0)},
      {"ISO date-time text", Row("R-iso", 0, "2024-03-01T09:30:00"), Reach::kReadable, false, Integer(0)},
      {"date without time", Row("R-date", 0, "2024-03-01"), Reach::kReadable, false, Integer(0)},
      {"unpadded date and time", Row("R-unpadded", 0, "2024-3-1 9:30:00"), Reach::kReadable, false, Integer(0)},
      {"daily memo with null date", Row("B-nulldate", 1, std::nullopt), Reach::kUnreadable},
      {"daily memo with a date that is no date", Row("B-textdate", 1, "yesterday"), Reach::kUnreadable, false, Integer(1), {}, true},
      {"daily memo at hour 24", Row("B-hour24", 1, "2024-03-01 24:00:00"), Reach::kUnreadable, false, Integer(1), {}, true},
      {"once memo with null date", Row("B-once-null", 0, std::nullopt), Reach::kUnlisted, true},
      {"weekly memo with a date that is no date", Row("B-week-text", 2, "soon"), Reach::kUnlisted, true, Integer(1), {}, true},
      {"kind beyond 16 bits", Row("B-kind70000", 70000, day), Reach::kUnlisted, true},
      {"key equal to a group key", Row("rtOne", 1, day), Reach::kUnlisted, true},
      {"kind 6 is listed nowhere", Row("B-kind6", 6, day), Reach::kUnlisted},
      {"kind -1 is listed nowhere", Row("B-kind-1", -1, day), Reach::kUnlisted},
      {"once memo of another day", Row("B-otherday", 0, "2024-02-29 09:30:00"), Reach::kUnlisted},
      {"another message type", other_type, Reach::kUnlisted},
      {"key with a space before it, beside another user's key", Row(" X", 1, day), Reach::kReadable,
       false, Integer(1), {alice_x}},
      {"key with a space after it", Row("Y ", 1, day), Reach::kReadable},
      {"receiver in other letter case", upper_receiver, Reach::kReadable},
      {"NUL in the title", Row("B-nul", 1, day, std::string("a\0b", 3)), Reach::kReadable},
      {"title that is not UTF-8", Row("B-latin1", 1, day, "caf\xE9 \xFF"), Reach::kReadable},
  };
}

TEST_F(CorpusTest, StoredRowsAreListedShownModifiedAndDeletedWithoutTouchingAnyOtherRow) {
  for (const StoredCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Fresh());
    if (c.date_is_no_date && !target->DatesAreText()) {
      NotApplicable(c.name, "the date column is a timestamp: it reads such a text as a date or refuses it");
      continue;
    }
    if (auto reason = target->CannotStore(c.row)) {
      NotApplicable(c.name, *reason);
      continue;
    }
    if (auto fault = KnownFault(c.name)) {
      ReportKnownFault(c.name, *fault);
      continue;
    }
    target->Insert(c.row);  // first, so a row it stops would come after it
    for (const MemoRow& row : c.also) target->Insert(row);
    target->Insert(Neighbour());
    target->Insert(OtherUsersMemo());
    const std::string id = c.row.id;
    const bool nul_title = c.row.title && c.row.title->find('\0') != std::string::npos;

    // Load, then the row's own path.
    Dump before = target->ReadDump();
    auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
      std::set<std::string> listed = ListedMemos(w);
      EXPECT_TRUE(listed.count(Neighbour().id)) << "a later memo is listed";
      EXPECT_FALSE(listed.count(OtherUsersMemo().id));
      EXPECT_EQ(listed.count(id), c.reach == Reach::kUnlisted ? 0u : 1u);
      if (c.reach == Reach::kUnlisted) return;
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(Neighbour().id));
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
      if (c.reach == Reach::kReadable) {
        EXPECT_EQ(w.Edit("txtTitle")->Text(), c.row.title.value_or(""));
        EXPECT_EQ(w.Edit("txtContent")->Text(), c.row.content.value_or(""));
        return;
      }
      // Whatever the window offers now must not reach any row.
      if (w.Button("btnModify")->Click()) {
        w.Edit("txtHour")->SetText("11");
        w.Button("btnSave")->Click();
      }
      w.Button("btnDelete")->Click();
    });
    EXPECT_TRUE(OnlyChanged(before, target->ReadDump(), {}));
    const size_t expected_at_load = c.reported ? 1u : 0u;
    size_t reported = 0;
    for (const std::string& text : messages) reported += text.find("could not be read") != std::string::npos;
    EXPECT_EQ(reported, expected_at_load) << "unreadable rows are reported once per load";
    if (c.reach != Reach::kReadable) continue;

    // Modify of the hour alone keeps every text byte for byte.
    before = target->ReadDump();
    int minute = 0;
    messages = InWindow([&](Window& w, frmCalendarInfo&) {
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
      minute = std::stoi(w.Edit("txtMinute")->Text());
      ModifyHour(w, "10");
    });
    Change modified;
    if (!nul_title && c.row.title && c.row.content) {
      EXPECT_TRUE(messages.empty()) << messages.front();
      modified.updated_id = id;
      char send[32];
      std::snprintf(send, sizeof send, "2024-03-01 10:%02d:00", minute);
      modified.updated = {{"dSend", Text(send)},
                          {"nValidDay", Integer(600 + minute)},
                          {"DisplayPeriods", c.kind_after_modify}};
    } else {
      // A blank text stops Save without a word; a NUL is refused with one.
      EXPECT_EQ(messages.size(), nul_title ? 1u : 0u);
    }
    EXPECT_TRUE(OnlyChanged(before, target->ReadDump(), modified));

    before = target->ReadDump();
    messages = InWindow([&](Window& w, frmCalendarInfo&) {
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
      w.Button("btnDelete")->Click();
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(OnlyChanged(before, target->ReadDump(), Deleted(id)));
  }
}

}  // namespace
}  // namespace agendia::testing
