#include "support/window_fixture.h"

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

// What the editor and the buttons show.
struct Shown {
  std::string hour, minute, date_caption, kind, title, content, end_day;
  int kind_index = -1;
  bool add = false, modify = false, remove = false;
  std::string selected;
  friend bool operator==(const Shown&, const Shown&) = default;
  friend void PrintTo(const Shown& s, std::ostream* out) {
    *out << "{" << s.hour << ":" << s.minute << " '" << s.date_caption << "' " << s.kind << "#"
         << s.kind_index << " '" << s.title << "' '" << s.content << "' end '" << s.end_day
         << "' add " << s.add << " modify " << s.modify << " delete " << s.remove << " selected '"
         << s.selected << "'}";
  }
};

Shown Read(MemoryFormWindow& w, frmCalendarInfo& form) {
  Shown s;
  s.hour = w.Edit("txtHour")->Text();
  s.minute = w.Edit("txtMinute")->Text();
  s.date_caption = w.LabelNamed("lblCurrDay")->Caption();
  s.kind = w.Combo("cboIntrval")->Text();
  s.kind_index = w.Combo("cboIntrval")->ListIndex();
  s.title = w.Edit("txtTitle")->Text();
  s.content = w.Edit("txtContent")->Text();
  s.end_day = w.Edit("txtEndDay")->Text();
  s.add = w.Button("btnAdd")->Enabled();
  s.modify = w.Button("btnModify")->Enabled();
  s.remove = w.Button("btnDelete")->Enabled();
  s.selected = form.SelectedMsgId();
  return s;
}

class DetailViewTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    context.language = "en-us";
  }
  void Add(const std::string& id, std::optional<int64_t> kind, std::optional<std::string> send,
           std::optional<std::string> title = "Standup", std::optional<std::string> content = "Room 3") {
    MemoRow memo;
    memo.id = id;
    memo.kind = kind;
    memo.send = std::move(send);
    memo.title = std::move(title);
    memo.content = std::move(content);
    database.Insert(memo);
  }
  // Opens the window, runs `session`, and returns what it read.
  void Session(std::function<void(MemoryFormWindow&, frmCalendarInfo&)> session) {
    Status opened = Open(context, std::move(session));
    ASSERT_TRUE(opened.ok()) << opened.description();
    EXPECT_EQ(db_log->live_connections, 0);
    EXPECT_EQ(db_log->live_recordsets, 0);
  }
  UserContext context;
};

TEST_F(DetailViewTest, AMemoClickShowsItsFieldsReadFromTheDatabase) {
  Add("m1", 2, "2024-02-23 07:05:00", "  Standup  ", " Room 3\nBring notes ");
  Shown shown;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    w.Edit("txtEndDay")->SetText("12");
    ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
    shown = Read(w, form);
  });
  EXPECT_EQ(shown, (Shown{"7", "5", "Date: 2024-02-23", "Weekly", "  Standup  ", " Room 3\nBring notes ",
                          "12", 2, true, true, true, "m1"}));
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(db_log->calls[db_log->calls.size() - 1], "Connection.Close()");
  EXPECT_EQ(db_log->CountOf("Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 "
                            "and cMsgID='m1' and cReceiver='demo' )"),
            1);
}

TEST_F(DetailViewTest, TimesAreShownWithoutLeadingZerosAndKindsByTheirPosition) {
  struct Case {
    const char* id;
    std::optional<int64_t> kind;
    const char* send;
    const char* hour;
    const char* minute;
    int index;  // -1: nothing chosen
  };
  const Case cases[] = {
      {"midnight", 1, "2024-03-01 00:00:00", "0", "0", 1},
      {"null-kind", std::nullopt, "2024-03-01 23:59:00", "23", "59", 0},
      {"yearly", 5, "2024-03-01 12:30:00", "12", "30", 5},
      {"unknown-kind", 9, "2024-03-01 09:09:00", "9", "9", -1},
      {"negative-kind", -1, "2024-03-01 09:09:00", "9", "9", -1},
  };
  // Each memo is listed as daily; its kind changes once the tree is loaded.
  for (const Case& c : cases) Add(c.id, 1, c.send);
  std::vector<Shown> seen;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    for (const Case& c : cases) {
      database.Run(std::string("update ZA_Message set DisplayPeriods=") +
                   (c.kind ? std::to_string(*c.kind) : std::string("NULL")) + " where cMsgId='" +
                   c.id + "'");
      ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(c.id)) << c.id;
      seen.push_back(Read(w, form));
    }
  });
  ASSERT_EQ(seen.size(), std::size(cases));
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(cases[i].id);
    EXPECT_EQ(seen[i].hour, cases[i].hour);
    EXPECT_EQ(seen[i].minute, cases[i].minute);
    EXPECT_EQ(seen[i].kind_index, cases[i].index);
  }
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(DetailViewTest, AGroupClickForgetsTheMemoButKeepsTheFields) {
  Add("m1", 1, "2024-03-01 07:05:00");
  Shown after_memo, after_group;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    w.Tree("tvInfo")->ClickNode("m1");
    after_memo = Read(w, form);
    const int calls = static_cast<int>(db_log->calls.size());
    w.Tree("tvInfo")->ClickNode("rtDay");
    EXPECT_EQ(static_cast<int>(db_log->calls.size()), calls) << "a group click reads nothing";
    after_group = Read(w, form);
  });
  Shown expected = after_memo;
  expected.selected = "";
  expected.modify = false;
  expected.remove = false;
  EXPECT_EQ(after_group, expected);
  EXPECT_EQ(after_group.title, "Standup");
}

// Delete can run again and silently find nothing; Modify has nothing to save.
TEST_F(DetailViewTest, AMemoDeletedMeanwhileIsSelectedButShowsNothingNewAndCannotBeModified) {
  Add("m1", 1, "2024-03-01 07:05:00", "First");
  Add("m2", 1, "2024-03-01 08:15:00", "Second");
  Shown before, after;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    w.Tree("tvInfo")->ClickNode("m1");
    before = Read(w, form);
    database.Run("delete from ZA_Message where cMsgId='m2'");
    w.Tree("tvInfo")->ClickNode("m2");
    after = Read(w, form);
  });
  Shown expected = before;
  expected.selected = "m2";
  expected.modify = false;
  EXPECT_EQ(after, expected);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(DetailViewTest, NullTitleAndContentAreShownAsEmptyText) {
  Add("m1", 1, "2024-03-01 07:05:00", std::nullopt, std::nullopt);
  Shown shown;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    w.Edit("txtTitle")->SetText("old");
    w.Tree("tvInfo")->ClickNode("m1");
    shown = Read(w, form);
  });
  EXPECT_EQ(shown.title, "");
  EXPECT_EQ(shown.content, "");
  EXPECT_TRUE(MessageTexts().empty());
}

// Only a memo shown is selected: Modify and Delete never act on a memo the
// fields do not show.
TEST_F(DetailViewTest, AnUnreachableDatabaseAtTheClickSelectsNothing) {
  Add("m1", 1, "2024-03-01 07:05:00");
  Shown before, after;
  // The second connection is the click's; the first was the tree's.
  db_log->faults.push_back({"Connection.Open(", 2,
                            Status::Error(db::err::kUnspecified, "unable to open database file")});
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    before = Read(w, form);
    w.Tree("tvInfo")->ClickNode("m1");
    after = Read(w, form);
  });
  EXPECT_EQ(after, before);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"unable to open database file(-2147467259)"});
  EXPECT_EQ(memory.toolkit->message_boxes[0].style, 0);
}

// A memo whose row cannot be read in full changes no field and is not
// selected, so a Modify or Delete that follows cannot write one memo's texts
// into another or remove a memo the user does not see.
TEST_F(DetailViewTest, AFailureWhileReadingTheRowChangesNoFieldAndSelectsNothing) {
  Add("m1", 3, "2024-02-01 07:05:00", "Title one");
  Add("m2", 1, "2024-03-01 18:45:00", "Title two");
  db_log->faults.push_back({"Recordset.ReadValue(cMsgTitle)", 3,
                            Status::Error(db::err::kUnspecified, "row went missing")});
  Shown first, second;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    // The tree load read both titles; the first click reads the third.
    w.Tree("tvInfo")->ClickNode("rtDay");
    w.Tree("tvInfo")->ClickNode("m1");
    first = Read(w, form);
  });
  EXPECT_EQ(first.hour, "");
  EXPECT_EQ(first.date_caption, "Date: 2024-03-01");
  EXPECT_EQ(first.kind, "");
  EXPECT_EQ(first.title, "");
  EXPECT_FALSE(first.modify);
  EXPECT_FALSE(first.remove);
  EXPECT_EQ(first.selected, "");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"row went missing(-2147467259)"});
}

TEST_F(DetailViewTest, KeysAreTakenAsStoredAndIdentifiersWithApostrophesWork) {
  Add(" padded ", 1, "2024-03-01 06:00:00", "Padded");
  Add("it's", 1, "2024-03-01 06:30:00", "Apostrophe");
  Shown padded, apostrophe;
  Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
    w.Tree("tvInfo")->ClickNode(" padded ");
    padded = Read(w, form);
    w.Tree("tvInfo")->ClickNode("it's");
    apostrophe = Read(w, form);
  });
  // The stored identifier has the spaces, so the key is taken with them:
  // trimmed, it would match no row.
  EXPECT_EQ(padded.selected, " padded ");
  EXPECT_EQ(padded.title, "Padded");
  EXPECT_EQ(apostrophe.selected, "it's");
  EXPECT_EQ(apostrophe.title, "Apostrophe");
  EXPECT_TRUE(MessageTexts().empty());
}

}  // namespace
}  // namespace agendia::testing
