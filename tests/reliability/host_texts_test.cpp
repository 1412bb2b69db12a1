// Hostile corpus, host texts: odd values of the six texts the host passes.
// A memo saved under them is stored with exactly those values, or the save is
// refused with a message and nothing changes; the user only ever sees and
// touches memos that are theirs.

#include "reliability/corpus_fixture.h"

namespace agendia::testing {
namespace {

struct HostCase {
  const char* name;
  std::function<void(UserContext&)> context;
  // The day the memo is dated on; "" when the save must be refused.
  std::string day = "2024-03-01";
  long long year = 2024;
};

std::vector<HostCase> Cases() {
  auto user = [](std::string v) { return [v](UserContext& c) { c.user = v; }; };
  auto account = [](std::string v) { return [v](UserContext& c) { c.account = v; }; };
  auto year = [](std::string v) { return [v](UserContext& c) { c.year = v; }; };
  auto day = [](std::string v) { return [v](UserContext& c) { c.day = v; }; };
  auto language = [](std::string v) { return [v](UserContext& c) { c.language = v; }; };
  return {
      {"plain", [](UserContext&) {}},
      {"user with an apostrophe", user("o'brien")},
      {"user that closes its literal", user("x' or '1'='1")},
      {"user with LIKE wildcards", user("d_m%")},
      {"user with a space after it", user("demo ")},
      {"user in Chinese", user("\xE7\x94\xA8\xE6\x88\xB7")},
      {"user in upper case", user("DEMO")},
      {"empty user", user("")},
      {"user with a comment", user("demo'--")},
      {"long user", user(std::string(300, 'u'))},
      {"account with an injected delete", account("'); delete from ZA_Message; --")},
      {"empty account", account("")},
      {"account with a qualifier", account("VXSystem..x")},
      {"year with spaces", year(" 2025 "), "2024-03-01", 2025},
      {"negative year", year("-1"), "2024-03-01", -1},
      {"year with a plus sign", year("+7"), "2024-03-01", 7},
      {"year with a statement after it", year("2024; delete from ZA_Message"), ""},
      {"year in exponent form", year("2e3"), ""},
      {"empty year", year(""), ""},
      {"year of ten digits", year("2024202420"), ""},
      {"hexadecimal year", year("0x7E8"), ""},
      {"day with slashes", day("2024/3/1")},
      {"day with a time", day("2024-03-01 17:45:00")},
      {"day with spaces", day(" 2024-03-01 ")},
      {"leap day", day("2024-02-29"), "2024-02-29"},
      {"last day there is", day("9999-12-31"), "9999-12-31"},
      {"impossible day", day("2023-02-29"), ""},
      {"day that is no date", day("today"), ""},
      {"empty day", day(""), ""},
      {"SQL Server day text", day("2024-03-01 00:00:00.000")},
      {"language in upper case", language("EN-US")},
      {"unknown language", language("xx-yy")},
      {"empty language", language("")},
  };
}

TEST_F(CorpusTest, HostTextsAreStoredExactlyOrRefusedWithoutAChange) {
  for (const HostCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Fresh());
    c.context(context);
    target->Insert(Neighbour());
    target->Insert(OtherUsersMemo());
    const Dump before = target->ReadDump();
    std::set<std::string> listed;
    auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
      AddMemo(w, "Title", "Content");
      listed = ListedMemos(w);
    });
    const Dump after = target->ReadDump();
    EXPECT_FALSE(listed.count(OtherUsersMemo().id)) << "another user's memo is never listed";
    if (c.day.empty()) {
      EXPECT_TRUE(OnlyChanged(before, after, {}));
      EXPECT_FALSE(messages.empty()) << "a refused save says so";
      continue;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    DumpRow inserted = {{"cReceiver", Text(context.user)}, {"cSender", Text(context.user)},
                        {"Account", Text(context.account)}, {"Year", Integer(c.year)},
                        {"dSend", Text(c.day + " 09:30:00")}, {"cMsgTitle", Text("Title")}};
    EXPECT_TRUE(OnlyChanged(before, after, Inserted(inserted)));
    EXPECT_TRUE(listed.count(NewId(before, after))) << "the memo just saved is listed";
  }
}

}  // namespace
}  // namespace agendia::testing
