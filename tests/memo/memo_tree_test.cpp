#include "support/exclusive_lock.h"
#include "support/window_fixture.h"

#include <filesystem>
#include <fstream>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

const std::vector<std::string> kGroups = {"rtOne",   "rtDay",     "rtWeek",
                                          "rtMonth", "rtQuarter", "rtYear"};

// What the tree showed while the window was open.
struct TreeShown {
  std::map<std::string, std::vector<std::string>> children;  // group -> memo keys
  std::map<std::string, std::string> texts;                  // memo key -> text
  std::vector<bool> expanded;                                // per group
  std::vector<std::string> top_level;
};

class MemoTreeTest : public WindowFixture {
 protected:
  TreeShown OpenAndReadTree(UserContext context = {}) {
    TreeShown shown;
    Status opened = Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
      auto* tree = w.Tree("tvInfo");
      shown.top_level = tree->ChildKeys(std::nullopt);
      for (const std::string& group : kGroups) {
        shown.expanded.push_back(tree->IsExpanded(group));
        for (const std::string& key : tree->ChildKeys(group)) {
          shown.children[group].push_back(key);
          shown.texts[key] = tree->FindNode(key)->text;
        }
      }
    });
    EXPECT_TRUE(opened.ok()) << opened.description();
    return shown;
  }

  void ExpectEverythingReleased() {
    EXPECT_EQ(db_log->live_connections, 0);
    EXPECT_EQ(db_log->live_recordsets, 0);
  }
};

TEST_F(MemoTreeTest, AUserWithoutMemosSeesSixEmptyExpandedGroupsAndNoMessage) {
  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(shown.top_level, kGroups);
  EXPECT_TRUE(shown.children.empty());
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, true));
  EXPECT_TRUE(MessageTexts().empty());
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, ListsExactlyTheUsersMemosDueOnTheCurrentDayUnderTheirGroups) {
  // The current day is Friday 2024-03-01.
  struct Row {
    const char* id;
    std::optional<int64_t> kind;
    const char* send;
    const char* group;  // nullptr: not listed
    const char* receiver = "demo";
    int type = 100;
  };
  const Row rows[] = {
      {"once-today", 0, "2024-03-01 08:00:00", "rtOne"},
      {"once-yesterday", 0, "2024-02-29 08:00:00", nullptr},
      {"once-next-year", 0, "2025-03-01 08:00:00", nullptr},
      {"null-kind-today", std::nullopt, "2024-03-01 10:00:00", "rtOne"},
      {"daily-later", 1, "2024-05-01 08:00:00", "rtDay"},
      {"daily-earlier", 1, "2020-01-01 08:00:00", "rtDay"},
      {"weekly-friday", 2, "2024-02-23 08:00:00", "rtWeek"},
      {"weekly-saturday", 2, "2024-02-24 08:00:00", nullptr},
      {"monthly-first", 3, "2024-07-01 08:00:00", "rtMonth"},
      {"monthly-31st", 3, "2024-01-31 08:00:00", nullptr},
      {"quarterly-nine-months", 4, "2023-12-01 08:00:00", "rtQuarter"},
      {"quarterly-one-month", 4, "2024-02-01 08:00:00", nullptr},
      {"yearly-same-month", 5, "2023-03-15 08:00:00", "rtYear"},
      {"yearly-next-year", 5, "2025-03-01 08:00:00", nullptr},
      {"kind-6", 6, "2024-03-01 08:00:00", nullptr},
      {"kind-minus-1", -1, "2024-03-01 08:00:00", nullptr},
      {"someone-else", 1, "2024-03-01 08:00:00", nullptr, "other"},
      {"not-a-memo", 1, "2024-03-01 08:00:00", nullptr, "demo", 101},
  };
  std::map<std::string, std::vector<std::string>> expected;
  for (const Row& row : rows) {
    MemoRow memo;
    memo.id = row.id;
    memo.kind = row.kind;
    memo.send = row.send;
    memo.title = std::string("Title of ") + row.id;
    memo.receiver = row.receiver;
    memo.type = row.type;
    database.Insert(memo);
    if (row.group != nullptr) expected[row.group].push_back(row.id);
  }

  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(shown.children, expected);
  for (const auto& [key, text] : shown.texts) EXPECT_EQ(text, "Title of " + key);
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, true));
  EXPECT_TRUE(MessageTexts().empty());
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, KeepsTheRowOrderKeysAsStoredAndShowsANullTitleAsEmpty) {
  for (const char* id : {"b", " spaced ", "a", "it's"}) {
    MemoRow memo = Memo(id, 1);
    memo.title = std::string(id) == "a" ? std::nullopt : std::optional<std::string>(id);
    database.Insert(memo);
  }
  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(shown.children["rtDay"], (std::vector<std::string>{"b", " spaced ", "a", "it's"}));
  EXPECT_EQ(shown.texts["a"], "");
  EXPECT_EQ(shown.texts[" spaced "], " spaced ");
}

TEST_F(MemoTreeTest, AMemoWhoseIdentifierIsAlreadyANodeIsLeftOutAndReportedOnce) {
  for (const char* id : {"d1", "rtWeek", "d2"}) database.Insert(Memo(id, 1));
  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(shown.top_level, kGroups);
  EXPECT_EQ(shown.children["rtDay"], (std::vector<std::string>{"d1", "d2"}));
  EXPECT_EQ(shown.children.count("rtWeek"), 0u);
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, true));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"1 条信息无法读取，未列出：its identifier 'rtWeek' is not "
                                     "unique in the list(-2147024809)"});
  ExpectEverythingReleased();
}

// Rows left out are reported when the window opens, not again after every
// Save and Delete that reads the list again; only a changed count is news.
TEST_F(MemoTreeTest, RowsLeftOutAreReportedOncePerWindowAndAgainOnlyWhenTheirCountChanges) {
  MemoRow broken = Memo("b1", 0);
  broken.send = "next tuesday";
  database.Insert(broken);
  database.Insert(Memo("m1", 1));
  UserContext context;
  context.language = "en-us";
  std::vector<size_t> boxes;  // after the load, each save and each delete
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                const auto save_new = [&] {
                  ASSERT_TRUE(w.Button("btnAdd")->Click());
                  w.Edit("txtHour")->SetText("9");
                  w.Edit("txtMinute")->SetText("30");
                  w.Edit("txtTitle")->SetText("t");
                  w.Edit("txtContent")->SetText("c");
                  ASSERT_TRUE(w.Button("btnSave")->Click());
                  boxes.push_back(MessageTexts().size());
                };
                boxes.push_back(MessageTexts().size());
                save_new();
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                boxes.push_back(MessageTexts().size());
                MemoRow second = Memo("b2", 0);
                second.send = "someday";
                database.Insert(second);
                save_new();
                save_new();
              }).ok());
  EXPECT_EQ(boxes, (std::vector<size_t>{1, 1, 1, 2, 2}));
  ASSERT_EQ(MessageTexts().size(), 2u);
  EXPECT_TRUE(MessageTexts()[1].starts_with("2 memos could not be read")) << MessageTexts()[1];
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, AUserIdentifierWithAnApostropheFindsItsOwnMemos) {
  MemoRow memo = Memo("m1", 1);
  memo.receiver = "o'neil";
  database.Insert(memo);
  UserContext context;
  context.user = "o'neil";
  TreeShown shown = OpenAndReadTree(context);
  EXPECT_EQ(shown.children["rtDay"], std::vector<std::string>{"m1"});
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MemoTreeTest, RunsOneActionInTheDocumentedOrderAndReleasesIt) {
  database.Insert(Memo("m1", 1));
  OpenAndReadTree();
  const std::vector<std::string>& calls = db_log->calls;
  ASSERT_GE(calls.size(), 6u);
  EXPECT_EQ(calls[0], "Connection.SetCommandTimeout(300)");
  EXPECT_EQ(calls[1], "Connection.SetConnectionTimeout(0)");
  EXPECT_EQ(calls[2], "Connection.Open(" + database.ConnectionString() + ")");
  EXPECT_EQ(calls[3], "Recordset.SetActiveConnection()");
  EXPECT_EQ(calls[4],
            "Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 and "
            "cReceiver='demo')");
  EXPECT_EQ(calls[calls.size() - 2], "Recordset.Close()");
  EXPECT_EQ(calls.back(), "Connection.Close()");
  EXPECT_EQ(db_log->connections_created, 1);
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, AnUnreachableDatabaseShowsOneMessageAndLeavesTheGroupsCollapsed) {
  UserContext context;
  context.conn = "Provider=SQLite;Data Source=" + (database.folder() / "missing" / "VXSystem.db").string();
  TreeShown shown = OpenAndReadTree(context);
  EXPECT_EQ(shown.top_level, kGroups);
  EXPECT_TRUE(shown.children.empty());
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, false));

  ASSERT_EQ(memory.toolkit->message_boxes.size(), 1u);
  const auto& box = memory.toolkit->message_boxes[0];
  EXPECT_NE(box.text.find("missing"), std::string::npos) << box.text;
  EXPECT_TRUE(box.text.ends_with("(-2147467259)")) << box.text;
  EXPECT_EQ(box.style, 0);
  EXPECT_EQ(box.caption, std::nullopt);
  // The connection that did not open is released without being closed.
  EXPECT_EQ(db_log->CountOf("Connection.Close()"), 0);
  EXPECT_EQ(db_log->CountOf("Recordset."), 0);
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, NoConnectionOutlivesTheLoadSoTheFileIsFreeWhileTheWindowIsOpen) {
  database.Insert(Memo("m1", 1));
  bool free_while_open = false;
  std::string why;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_EQ(w.Tree("tvInfo")->ChildKeys("rtDay"), std::vector<std::string>{"m1"});
                ExclusiveLock lock(database.path());
                free_while_open = lock.held();
                why = lock.error();
              }).ok());
  EXPECT_TRUE(free_while_open) << why;
}

TEST_F(MemoTreeTest, ALockedDatabaseIsReportedOnceTheLockWaitRunsOut) {
  database.Insert(Memo("m1", 1));
  ExclusiveLock writer(database.path());
  ASSERT_TRUE(writer.held()) << writer.error();
  UserContext context;
  context.conn = database.ConnectionString() + ";Busy Timeout=100";
  TreeShown shown = OpenAndReadTree(context);
  EXPECT_TRUE(shown.children.empty());
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, false));
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find("database is locked"), std::string::npos) << MessageTexts()[0];
  EXPECT_TRUE(MessageTexts()[0].ends_with("(-2147217871)")) << MessageTexts()[0];
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, ADatabaseWithoutTheMemoTableRejectsTheSelectAndClosesTheConnection) {
  database.Run("drop table ZA_Message");
  TreeShown shown = OpenAndReadTree();
  EXPECT_TRUE(shown.children.empty());
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find("ZA_Message"), std::string::npos) << MessageTexts()[0];
  EXPECT_TRUE(MessageTexts()[0].ends_with("(-2147217900)")) << MessageTexts()[0];
  // The connection had opened, so it is closed before it is released.
  EXPECT_EQ(db_log->CountOf("Connection.Close()"), 1);
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, AFileThatIsNotADatabaseIsReportedWithItsCause) {
  const std::string bogus = (database.folder() / "notes.txt").string();
  { std::ofstream(bogus) << "these are not the memos you are looking for\n"; }
  UserContext context;
  context.conn = bogus;
  TreeShown shown = OpenAndReadTree(context);
  EXPECT_TRUE(shown.children.empty());
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find("not a database"), std::string::npos) << MessageTexts()[0];
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, AFailureMidwayKeepsTheNodesAddedSoFar) {
  for (const char* id : {"d1", "d2", "d3", "d4"}) database.Insert(Memo(id, 1));
  db_log->faults.push_back({"Recordset.MoveNext()", 2,
                            Status::Error(db::err::kUnspecified, "The network went away")});
  int open_while_message_shown = -1;
  memory.toolkit->on_message_box = [&](const auto&) {
    open_while_message_shown = db_log->live_connections + db_log->live_recordsets;
  };
  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(open_while_message_shown, 0) << "nothing is held while the user reads the message";
  EXPECT_EQ(shown.children["rtDay"], (std::vector<std::string>{"d1", "d2"}));
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, false));
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"The network went away(-2147467259)"});
  EXPECT_EQ(db_log->CountOf("Recordset.Close()"), 1);
  EXPECT_EQ(db_log->CountOf("Connection.Close()"), 1);
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, ACurrentDayThatIsNotADateStopsAtTheFirstMemoThatNeedsIt) {
  for (auto [id, kind] : {std::pair{"daily", 1}, std::pair{"weekly", 2}, std::pair{"daily-2", 1}}) {
    database.Insert(Memo(id, kind));
  }
  UserContext context;
  context.day = "someday";
  TreeShown shown = OpenAndReadTree(context);
  EXPECT_EQ(shown.children["rtDay"], std::vector<std::string>{"daily"});
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_TRUE(MessageTexts()[0].ends_with("(13)")) << MessageTexts()[0];
  ExpectEverythingReleased();
}

TEST_F(MemoTreeTest, AStoredSendDateThatIsNotADateIsReportedWithTheCountNotListed) {
  MemoRow memo = Memo("broken", 0);
  memo.send = "next tuesday";
  database.Insert(memo);
  TreeShown shown = OpenAndReadTree();
  EXPECT_TRUE(shown.children.empty());
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(MessageTexts()[0], "1 条信息无法读取，未列出：Type mismatch: 'next tuesday' is not a date(13)");
}

TEST_F(MemoTreeTest, SeveralUnreadableMemosAreCountedWithTheFirstOnesFailureInTheWindowsLanguage) {
  for (const auto& [id, send] : {std::pair{"b1", "next tuesday"}, std::pair{"b2", "someday"}}) {
    MemoRow memo = Memo(id, 0);
    memo.send = send;
    database.Insert(memo);
  }
  const std::pair<const char*, const char*> cases[] = {
      {"en-us", "2 memos could not be read and are not listed. The first: "},
      {"zh-cn", "2 条信息无法读取，未列出。第一条的原因："},
      {"zh-tw", "2 筆資訊無法讀取，未列出。第一筆的原因："},
  };
  for (const auto& [language, text] : cases) {
    SCOPED_TRACE(language);
    memory.toolkit->message_boxes.clear();
    UserContext context;
    context.language = language;
    OpenAndReadTree(context);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(text) +
                                                       "Type mismatch: 'next tuesday' is not a date(13)"});
  }
}

// The window's own messages are not among the host's usual texts. A library
// without them, whether its lookup fails or gives the key back, still tells
// the user what happened, in English.
TEST_F(MemoTreeTest, AResourceLibraryWithoutTheMessageShowsItInEnglishWithItsValues) {
  const std::string key = "Agendia.frmCalendarInfo.OneMemoLeftOut";
  const std::filesystem::path host_texts = database.folder() / "host-texts";
  std::filesystem::create_directory(host_texts);
  {
    std::ifstream shipped(std::string(AGENDIA_TEST_RESOURCE_DIR) + "/zh-cn.txt");
    std::ofstream without(host_texts / "zh-cn.txt");
    for (std::string line; std::getline(shipped, line);) {
      if (!line.starts_with(key + "=")) without << line << '\n';
    }
  }
  MemoRow memo = Memo("broken", 0);
  memo.send = "next tuesday";
  database.Insert(memo);
  const std::string english =
      "1 memo could not be read and is not listed: Type mismatch: 'next tuesday' is not a date(13)";

  MakePlatform(platform::langid::kChineseSimplified, host_texts.string());
  OpenAndReadTree();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{english}) << "the key given back";

  MakePlatform(platform::langid::kChineseSimplified);
  log->fail_keys = {key};
  OpenAndReadTree();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{english}) << "a failed lookup";
}

TEST_F(MemoTreeTest, AStartThatFailsBeforeTheTreeTouchesNoDatabase) {
  MakePlatform(platform::langid::kChineseSimplified, (database.folder() / "no-texts").string());
  UserContext context;
  Status opened = Open(context);
  EXPECT_FALSE(opened.ok());
  EXPECT_EQ(db_log->connections_created, 0);
}

TEST_F(MemoTreeTest, ADatabaseClientThatCannotBeCreatedIsReportedLikeAnyFailure) {
  db_log->fail_create = Status::Error(db::err::kCannotCreateObject, "ActiveX component can't create object");
  TreeShown shown = OpenAndReadTree();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"ActiveX component can't create object(429)"});
  EXPECT_EQ(shown.expanded, std::vector<bool>(6, false));
}

}  // namespace
}  // namespace agendia::testing
