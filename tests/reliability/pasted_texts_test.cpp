// Hostile corpus, pasted texts: each text pasted into the title and into the
// content is saved, shown, modified (only the hour) and deleted, and after
// each step the memo table differs from before by exactly that step.

#include "reliability/corpus_fixture.h"

namespace agendia::testing {
namespace {

struct Pasted {
  const char* name;
  std::string text;
};

const Pasted kPasted[] = {
    {"plain", "Team meeting"},
    {"apostrophe", "it's"},
    {"apostrophes only", "''"},
    {"closing the literal", "x', 'y"},
    {"injected delete", "'); delete from ZA_Message; --"},
    {"injected update", "x' where 1=1; update ZA_Message set cMsgTitle='p"},
    {"line comment", "-- nothing follows"},
    {"block comment opener", "/* open"},
    {"block comment closer", "*/ close"},
    {"database qualifier", "VXSystem..ZA_Message"},
    {"qualifier lower case", "vxsystem..za_message"},
    {"double quotes", "\"quoted\""},
    {"brackets", "[Year]"},
    {"backticks", "`name`"},
    {"sqlite variables", "$name(x) @v :v #v ?1"},
    {"NewID call", "NewID()"},
    {"backslash", "C:\\path\\file"},
    {"percent and underscore", "100% _done_"},
    {"tab", "a\tb"},
    {"spaces around", "  padded  "},
    {"only spaces", "    "},
    {"empty", ""},
    {"CRLF", "line one\r\nline two"},
    {"LF", "line one\nline two"},
    {"CR", "line one\rline two"},
    {"no-break space", "a\xC2\xA0" "b"},
    {"line separator", "a\xE2\x80\xA8" "b"},
    {"Chinese", "\xE5\xB7\xA5\xE4\xBD\x9C\xE5\xA4\x87\xE5\xBF\x98"},
    {"emoji", "\xF0\x9F\x98\x80 party"},
    {"emoji as 24th character", std::string(23, 'x') + "\xF0\x9F\x98\x80"},
    {"emoji across the cut", std::string(23, 'y') + "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
    {"combining accent", "e\xCC\x81t\xC3\xA9"},
    {"right to left", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
    {"30 characters", std::string(30, 'L')},
    {"600 characters", std::string(600, 'C')},
    {"600 Chinese characters", [] {
       std::string s;
       for (int i = 0; i < 600; ++i) s += "\xE4\xB8\xAD";
       return s;
     }()},
    {"NUL byte", std::string("a\0b", 3)},
    {"control characters", "\x01\x02\x1b"},
};

// The first `limit` characters of `text` (UTF-8 lead bytes counted).
std::string CutChars(const std::string& text, size_t limit) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit) return text.substr(0, i);
  }
  return text;
}

struct Field {
  const char* name;
  size_t limit;
  const char* column;
};

// The test's name in CTest shows the field by name.
void PrintTo(const Field& field, std::ostream* out) { *out << field.name; }

class PastedTextsTest : public CorpusTest,
                        public ::testing::WithParamInterface<Field> {};

TEST_P(PastedTextsTest, AreStoredAsShownAndOnlyTheirOwnRowEverChanges) {
  const Field field = GetParam();
  const bool title = std::string(field.name) == "title";
  for (const Pasted& c : kPasted) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Fresh());
    target->Insert(Neighbour());
    target->Insert(OtherUsersMemo());
    const std::string stored = base::Trim(CutChars(c.text, field.limit));
    const bool refused = c.text.find('\0') != std::string::npos;

    Dump before = target->ReadDump();
    auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
      AddMemo(w, title ? c.text : "T", title ? "C" : c.text);
      if (refused) {
        EXPECT_TRUE(w.Button("btnSave")->Enabled()) << "the editor stays open";
      }
    });
    Dump after = target->ReadDump();
    if (stored.empty() || refused) {
      EXPECT_TRUE(OnlyChanged(before, after, {}));
      EXPECT_EQ(messages.size(), refused ? 1u : 0u);
      continue;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    DumpRow inserted = {{"cMsgTitle", Text(title ? stored : "T")},
                        {"cMsgContent", Text(title ? "C" : stored)},
                        {"cReceiver", Text("demo")},
                        {"dSend", Text("2024-03-01 09:30:00")}};
    const ::testing::AssertionResult saved = OnlyChanged(before, after, Inserted(inserted));
    EXPECT_TRUE(saved);
    if (!saved) continue;  // the next case still runs on a table of its own
    const std::string id = NewId(before, after);

    // Shown exactly as stored; a Modify of the hour alone keeps the text.
    before = after;
    messages = InWindow([&](Window& w, frmCalendarInfo&) {
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
      EXPECT_EQ(w.Edit(title ? "txtTitle" : "txtContent")->Text(), stored);
      ModifyHour(w, "10");
    });
    EXPECT_TRUE(messages.empty());
    after = target->ReadDump();
    EXPECT_TRUE(OnlyChanged(before, after,
                            Updated(id, {{"dSend", Text("2024-03-01 10:30:00")}, {"nValidDay", Integer(630)}})));

    before = after;
    messages = InWindow([&](Window& w, frmCalendarInfo&) {
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
      w.Button("btnDelete")->Click();
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(OnlyChanged(before, target->ReadDump(), Deleted(id)));
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, PastedTextsTest,
                         ::testing::Values(Field{"title", 24, "cMsgTitle"},
                                           Field{"content", 512, "cMsgContent"}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace agendia::testing
