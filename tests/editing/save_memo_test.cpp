// Save in the memory window on a real database file: the checks and their
// messages, the row it writes, and its ending after success and failure.

#include "editing/editor_state.h"
#include "support/window_fixture.h"

#include <algorithm>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;
using platform::memory::MemoryToolkit;

constexpr const char* kCaption = "Calendar Memos";
constexpr const char* kTimeMissing = "Please enter the reminder time (hour and minute).";
constexpr const char* kHourMissing = "Please enter the hour.";
constexpr const char* kMinuteMissing = "Please enter the minute.";
constexpr const char* kOutOfRange =
    "The time is out of range: the hour must be 0 to 23 and the minute 0 to 59.";

class SaveMemoTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    context.language = "en-us";
  }
  Status Session(std::function<void(MemoryFormWindow&, frmCalendarInfo&)> session) {
    Status opened = Open(context, std::move(session));
    EXPECT_EQ(db_log->live_connections, 0);
    EXPECT_EQ(db_log->live_recordsets, 0);
    return opened;
  }
  // Adds a memo through the editor; `raw` fills fields by SetText, as pasted.
  void AddThroughEditor(MemoryFormWindow& w, const std::string& hour, const std::string& minute,
                        const std::string& title, const std::string& content, int kind) {
    ASSERT_TRUE(w.Button("btnAdd")->Click());
    w.Edit("txtHour")->SetText(hour);
    w.Edit("txtMinute")->SetText(minute);
    w.Edit("txtTitle")->SetText(title);
    w.Edit("txtContent")->SetText(content);
    w.Combo("cboIntrval")->Choose(kind);
    w.Button("btnSave")->Click();
  }
  UserContext context;
};

TEST_F(SaveMemoTest, TheChecksShowTheirMessageInOrderAndSaveNothing) {
  struct Case {
    const char* hour;
    const char* minute;
    const char* title;
    const char* content;
    const char* message;  // nullptr: no message at all
    int style;
  };
  const Case cases[] = {
      {"", "", "", "", kTimeMissing, platform::mb::kExclamation},
      {"", "5", "T", "C", kHourMissing, platform::mb::kExclamation},
      {"9", "", "T", "C", kMinuteMissing, platform::mb::kExclamation},
      {"24", "0", "T", "C", kOutOfRange, platform::mb::kInformation},
      {"0", "60", "T", "C", kOutOfRange, platform::mb::kInformation},
      {"99", "99", "", "", kOutOfRange, platform::mb::kInformation},
      // Pasted text that is no whole number is out of range too.
      {"ab", "5", "T", "C", kOutOfRange, platform::mb::kInformation},
      {"-1", "5", "T", "C", kOutOfRange, platform::mb::kInformation},
      {"1.", "5", "T", "C", kOutOfRange, platform::mb::kInformation},
      // The emptiness checks take the texts as they stand: a space is given.
      {" ", "5", "T", "C", kOutOfRange, platform::mb::kInformation},
      // A valid time with a blank title or content stops without a word.
      {"9", "30", "   ", "C", nullptr, 0},
      {"9", "30", "T", "", nullptr, 0},
  };
  std::vector<EditorState> after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                for (const Case& c : cases) {
                  AddThroughEditor(w, c.hour, c.minute, c.title, c.content, 4);
                  after.push_back(ReadEditorState(w, form));
                }
              }).ok());
  auto& boxes = memory.toolkit->message_boxes;
  size_t box = 0;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(std::string("hour '") + c.hour + "' minute '" + c.minute + "'");
    // Nothing changed: the editor is open with the input as it was.
    EXPECT_EQ(after[i], (EditorState{0, "", true, {c.hour, c.minute, "", c.title, c.content}, 4,
                                     false, false, true}));
    if (c.message == nullptr) continue;
    ASSERT_LT(box, boxes.size());
    EXPECT_EQ(boxes[box].text, c.message);
    EXPECT_EQ(boxes[box].style, c.style);
    EXPECT_EQ(boxes[box].caption, std::optional<std::string>(kCaption));
    ++box;
  }
  EXPECT_EQ(box, boxes.size()) << "one message per rejected save";
  EXPECT_TRUE(database.Memos().empty());
  EXPECT_EQ(db_log->CountOf("Connection.Execute"), 0);
}

TEST_F(SaveMemoTest, ANewMemoIsWrittenForTheUserOnTheCurrentDay) {
  context.account = "A-7";
  context.year = "2025";
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_TRUE(w.Button("btnAdd")->Click());
                FillEditor(w, "9", "30", "Team meeting", "Room 3", 2);
                w.Edit("txtEndDay")->SetText("12");
                ASSERT_TRUE(w.Button("btnSave")->Click());
                // Listed under its group at once: every kind is due on its own date.
                EXPECT_EQ(w.Tree("tvInfo")->ChildKeys(std::string("rtWeek")).size(), 1u);
              }).ok());
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 1u);
  const StoredRow& row = rows[0];
  EXPECT_EQ(row.at("cMsgId")->size(), 36u);
  EXPECT_EQ(row.at("nMsgType"), "100");
  EXPECT_EQ(row.at("cMsgTitle"), "Team meeting");
  EXPECT_EQ(row.at("cMsgContent"), "Room 3");
  EXPECT_EQ(row.at("cSender"), "demo");
  EXPECT_EQ(row.at("cReceiver"), "demo");
  EXPECT_EQ(row.at("dSend"), "2024-03-01 09:30:00");
  EXPECT_EQ(row.at("nValidDay"), "570");
  EXPECT_EQ(row.at("bHasRead"), "0");
  EXPECT_EQ(row.at("DisplayPeriods"), "2");
  EXPECT_EQ(row.at("Account"), "A-7");
  EXPECT_EQ(row.at("Year"), "2025");
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(db_log->CountOf("Connection.Execute(insert into VXSystem..za_message (cMsgId, "
                            "nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
                            "dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) "
                            "VALUES(NewID(), 100, 'Team meeting','Room 3','demo','demo',"
                            "'2024-03-01 09:30:00', 570, 0, 2, 'A-7', 2025))"),
            1);
}

TEST_F(SaveMemoTest, TimesKindsAndTrimmedTextsAreDerivedFromTheEditor) {
  struct Case {
    const char* hour;
    const char* minute;
    int kind;  // the chooser's position
    const char* send;
    const char* minutes_of_day;
    const char* stored_kind;
  };
  const Case cases[] = {
      {"7", "5", 0, "2024-03-01 07:05:00", "425", "0"},
      {"23", "59", 5, "2024-03-01 23:59:00", "1439", "5"},
      {"0", "0", 3, "2024-03-01 00:00:00", "0", "3"},
      {"07", "09", -1, "2024-03-01 07:09:00", "429", "0"},
      {"12", " 5", 1, "2024-03-01 12:05:00", "725", "1"},
  };
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                int n = 0;
                for (const Case& c : cases) {
                  AddThroughEditor(w, c.hour, c.minute, "  memo " + std::to_string(n++) + "  ",
                                   " body ", c.kind);
                }
              }).ok());
  EXPECT_TRUE(MessageTexts().empty());
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.send);
    const auto rows = database.Query("select * from ZA_Message where cMsgTitle='memo " +
                                     std::to_string(i) + "'");
    ASSERT_EQ(rows.size(), 1u) << "stored with the title trimmed";
    EXPECT_EQ(rows[0].at("cMsgContent"), "body");
    EXPECT_EQ(rows[0].at("dSend"), c.send);
    EXPECT_EQ(rows[0].at("nValidDay"), c.minutes_of_day);
    EXPECT_EQ(rows[0].at("DisplayPeriods"), c.stored_kind);
  }
}

TEST_F(SaveMemoTest, ModifyingUpdatesTheSelectedMemoAndDatesItOnTheCurrentDay) {
  MemoRow old = Memo("m1", 1);
  old.send = "2023-12-24 18:00:00";
  old.account = "old-acc";
  old.year = 2023;
  database.Insert(old);
  database.Insert(Memo("m2", 1));
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                w.Edit("txtHour")->SetText("6");
                w.Edit("txtMinute")->SetText("45");
                w.Edit("txtTitle")->SetText("Changed");
                w.Combo("cboIntrval")->Choose(3);
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  EXPECT_EQ(after, (EditorState{1, "m1", false, {"6", "45", "", "Changed", "content"}, 3, false,
                                false, false}));
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("cMsgId"), "m1");
  EXPECT_EQ(rows[0].at("cMsgTitle"), "Changed");
  EXPECT_EQ(rows[0].at("dSend"), "2024-03-01 06:45:00");
  EXPECT_EQ(rows[0].at("nValidDay"), "405");
  EXPECT_EQ(rows[0].at("DisplayPeriods"), "3");
  // What only the insert writes stays.
  EXPECT_EQ(rows[0].at("Account"), "old-acc");
  EXPECT_EQ(rows[0].at("Year"), "2023");
  EXPECT_EQ(rows[1].at("cMsgTitle"), "title") << "the other memo is untouched";
}

// An update that changes no row did not save what the user typed: they hear
// of it, the input stays in the open editor, which now holds a new memo, and
// Modify and Delete go off.
TEST_F(SaveMemoTest, ModifyAfterAGroupClickUpdatesNoMemoSaysSoAndKeepsTheInput) {
  database.Insert(Memo("m1", 2));
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("rtWeek"));
                w.Edit("txtTitle")->SetText("Changed");
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                "The memo was not saved: it no longer exists. What you typed stays "
                                "in the editor: Save now stores it as a new memo(3021)"});
  EXPECT_EQ(after, (EditorState{0, "", true, {"9", "30", "", "Changed", "content"}, 2, false, false, true}));
  EXPECT_EQ(database.Memos().at(0).at("cMsgTitle"), "title");
  EXPECT_EQ(db_log->CountOf("Connection.Execute(update VXSystem..za_message set "
                            "dSend='2024-03-01 09:30:00', cMsgTitle='Changed', "
                            "cMsgContent='content', nValidDay=570, DisplayPeriods=2  "
                            "where cMsgID='' and nMsgType=100 and cReceiver='demo' )"),
            1);
}

// A memo deleted elsewhere while it was being modified: the list is read
// again without it, and following the message's advice, Save, stores what
// was typed as a new memo: nothing typed is lost, and nothing else written.
TEST_F(SaveMemoTest, AMemoDeletedMeanwhileIsUnlistedAndTheNextSaveStoresWhatWasTyped) {
  database.Insert(Memo("m1", 2));
  database.Insert(Memo("m2", 2));
  EditorState after_gone, after_saved;
  std::vector<std::string> listed_after_gone;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                database.Run("delete from ZA_Message where cMsgId = 'm1'");
                w.Edit("txtTitle")->SetText("Typed title");
                w.Edit("txtContent")->SetText("Typed content");
                w.Edit("txtHour")->SetText("11");
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after_gone = ReadEditorState(w, form);
                listed_after_gone = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after_saved = ReadEditorState(w, form);
              }).ok());
  EXPECT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(after_gone, (EditorState{0, "m1", true, {"11", "30", "", "Typed title", "Typed content"},
                                     2, false, false, true}));
  EXPECT_EQ(listed_after_gone, std::vector<std::string>{"m2"});
  EXPECT_FALSE(after_saved.editor);
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 2u);
  const auto& added = rows[0].at("cMsgId") == "m2" ? rows[1] : rows[0];
  EXPECT_EQ(added.at("cMsgTitle"), "Typed title");
  EXPECT_EQ(added.at("cMsgContent"), "Typed content");
  EXPECT_EQ(added.at("dSend"), "2024-03-01 11:30:00");
  EXPECT_EQ(db_log->CountOf("Connection.Execute(insert"), 1);
}

// That message comes from the resource texts, in the window's language.
TEST_F(SaveMemoTest, TheMessageOfAMemoGoneIsInTheWindowsLanguage) {
  const std::pair<const char*, const char*> cases[] = {
      {"zh-cn", "信息未保存：该信息已不存在。输入的内容仍在编辑区中：现在按“保存”即可将其保存为新信息(3021)"},
      {"zh-tw", "資訊未儲存：該資訊已不存在。輸入的內容仍在編輯區中：現在按「儲存」即可將其儲存為新資訊(3021)"},
  };
  database.Insert(Memo("m1", 2));
  for (const auto& [language, message] : cases) {
    SCOPED_TRACE(language);
    context.language = language;
    memory.toolkit->message_boxes.clear();
    ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                  ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                  ASSERT_TRUE(w.Button("btnModify")->Click());
                  ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("rtWeek"));
                  ASSERT_TRUE(w.Button("btnSave")->Click());
                }).ok());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{message});
  }
  EXPECT_EQ(database.Memos().at(0).at("cMsgTitle"), "title");
}

// Modify stays off once the memo is gone; a second Delete stays silent.
TEST_F(SaveMemoTest, AfterADeleteThereIsNothingToModifyAndASecondDeleteIsSilent) {
  database.Insert(Memo("m1", 2));
  bool modify_after_delete = true;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                modify_after_delete = w.Button("btnModify")->Enabled();
                ASSERT_TRUE(w.Button("btnDelete")->Click());
              }).ok());
  EXPECT_FALSE(modify_after_delete);
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_TRUE(database.Memos().empty());
}

TEST_F(SaveMemoTest, TextsWithApostrophesAndMarkupAreStoredExactlyAsShown) {
  const std::string title = "Bob's 'quoted' <b>";
  const std::string content = "It's done; drop table ZA_Message; --";
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                AddThroughEditor(w, "9", "30", title, content, 2);
                const auto memos = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
                ASSERT_EQ(memos.size(), 1u);
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(memos[0]));
                EXPECT_EQ(w.Edit("txtTitle")->Text(), title);
                EXPECT_EQ(w.Edit("txtContent")->Text(), content);
              }).ok());
  EXPECT_TRUE(MessageTexts().empty());
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("cMsgTitle"), title);
  EXPECT_EQ(rows[0].at("cMsgContent"), content);
}

// A save the database refused keeps what was typed in the open editor, so
// pressing Save again stores it, once.
TEST_F(SaveMemoTest, AFailedStatementIsReportedAndTheEditorKeepsTheInputForAnotherSave) {
  db_log->faults.push_back({"Connection.Execute", 1,
                            Status::Error(db::err::kTimeout, "database is locked")});
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                after = ReadEditorState(w, form);
                EXPECT_TRUE(database.Memos().empty());
                ASSERT_TRUE(w.Button("btnSave")->Click());
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"database is locked(-2147217871)"});
  EXPECT_EQ(memory.toolkit->message_boxes[0].style, platform::mb::kOkOnly);
  EXPECT_EQ(memory.toolkit->message_boxes[0].caption, std::nullopt);
  EXPECT_EQ(after, (EditorState{0, "", true, {"9", "30", "", "T", "C"}, 2, false, false, true}));
  EXPECT_EQ(database.Memos().size(), 1u);
}

// The memo is stored; only reading the list again failed. The user is not
// told the save failed, in the window's language, and the tree keeps what it
// listed.
TEST_F(SaveMemoTest, AReloadThatFailsAfterAStoredMemoNamesTheListAndKeepsTheTree) {
  const std::pair<const char*, const char*> cases[] = {
      {"en-us", "The memo is saved, but the list of memos could not be read again: "
                "database is locked(-2147217871)"},
      {"zh-tw", "資訊已儲存，但無法重新讀取資訊列表：database is locked(-2147217871)"},
  };
  database.Insert(Memo("m1", 2));
  for (const auto& [language, message] : cases) {
    SCOPED_TRACE(language);
    std::vector<std::string> stored;  // ordered by identifier
    for (const StoredRow& row : database.Memos()) stored.push_back(row.at("cMsgId").value_or(""));
    MakePlatform(platform::langid::kChineseSimplified);
    // The window's own listing goes through; the one after Save fails.
    db_log->faults.push_back({"Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver",
                              2, Status::Error(db::err::kTimeout, "database is locked")});
    context.language = language;
    EditorState after;
    std::vector<std::string> listed;
    ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                  AddThroughEditor(w, "9", "30", "T", "C", 2);
                  after = ReadEditorState(w, form);
                  listed = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
                }).ok());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(after, (EditorState{0, "", false, {"9", "30", "", "T", "C"}, 2, false, false, false}));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, stored);
    EXPECT_EQ(database.Memos().size(), stored.size() + 1);
  }
}

// A server stored the memo, but its answer was lost (a time-out): the list
// is read again at once, so the memo is listed, and the user is told it may
// be saved; the typed memo stays in the open editor.
TEST_F(SaveMemoTest, AnInsertWhoseAnswerWasLostIsListedAgainAndSaidToBeMaybeSaved) {
  db_log->server_answers = true;
  db_log->faults.push_back({"Connection.Execute(insert", 1,
                            Status::Error(db::err::kTimeout, "Query timeout expired"), true});
  EditorState after;
  std::vector<std::string> listed;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                after = ReadEditorState(w, form);
                listed = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
              }).ok());
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{
                "The database did not answer, so the memo may have been saved. The list of memos "
                "has been read again: if the memo is listed, it is saved; if not, Save stores what "
                "you typed, which stays in the editor. The failure: Query timeout "
                "expired(-2147217871)"});
  EXPECT_EQ(after, (EditorState{0, "", true, {"9", "30", "", "T", "C"}, 2, false, false, true}));
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(listed, std::vector<std::string>{*rows[0].at("cMsgId")});
  EXPECT_EQ(db_log->CountOf("Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 "
                            "and cReceiver"),
            2);
}

// When the list cannot be read after the lost answer either, Save is not
// offered as an insert until it has been: the next Save reads the list and
// says so, and only the one after stores the memo.
TEST_F(SaveMemoTest, AfterALostAnswerSaveReadsTheListBeforeItInsertsAgain) {
  db_log->server_answers = true;
  db_log->faults.push_back(
      {"Connection.Execute(insert", 1, Status::Error(db::err::kUnspecified, "Communication link failure")});
  db_log->faults.push_back({"Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver",
                            2, Status::Error(db::err::kUnspecified, "Server is gone")});
  EditorState after_list_read;
  std::vector<std::string> texts_after_first;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                texts_after_first = MessageTexts();
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after_list_read = ReadEditorState(w, form);
                EXPECT_EQ(db_log->CountOf("Connection.Execute(insert"), 1);
                ASSERT_TRUE(w.Button("btnSave")->Click());
              }).ok());
  EXPECT_EQ(texts_after_first,
            std::vector<std::string>{
                "The database did not answer, so the memo may have been saved, and the list of "
                "memos could not be read again (Server is gone). What you typed stays in the "
                "editor; Save reads the list again before it saves anything. The failure: "
                "Communication link failure(-2147467259)"});
  const auto& boxes = memory.toolkit->message_boxes;
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text,
            "The list of memos has been read again. If the memo you typed is listed, it was "
            "saved; if not, press Save again to store it. What you typed stays in the editor");
  EXPECT_EQ(boxes[1].style, platform::mb::kInformation);
  EXPECT_EQ(after_list_read, (EditorState{0, "", true, {"9", "30", "", "T", "C"}, 2, false, false, true}));
  EXPECT_EQ(db_log->CountOf("Connection.Execute(insert"), 2);
  EXPECT_EQ(database.Memos().size(), 1u);
}

// Which failures leave an insert's outcome open is the connection's to say:
// on a server a time-out or a broken connection, never a refused statement;
// the embedded database knows every outcome (the test above with the lock).
TEST_F(SaveMemoTest, ARefusedInsertOnAServerIsNoLostAnswerAndAsksNoSecondLook) {
  db_log->server_answers = true;
  db_log->faults.push_back({"Connection.Execute(insert", 1,
                            Status::Error(db::err::kErrorsInCommand, "syntax error")});
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                ASSERT_TRUE(w.Button("btnSave")->Click());
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"syntax error(-2147217900)"});
  EXPECT_EQ(database.Memos().size(), 1u);
}

TEST_F(SaveMemoTest, AnUnreachableDatabaseShowsOneMessageAndKeepsTheEditorOpen) {
  context.conn = "Provider=SQLite;Data Source=" + (database.folder() / "gone" / "x.db").string();
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                memory.toolkit->message_boxes.clear();  // the load's own message
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                after = ReadEditorState(w, form);
              }).ok());
  const auto texts = MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(texts[0].ends_with("(-2147467259)")) << texts[0];
  EXPECT_TRUE(after.editor);
  EXPECT_TRUE(after.save);
}

TEST_F(SaveMemoTest, AYearThatIsNoWholeNumberIsRefusedBeforeTheDatabaseAndNothingIsLost) {
  context.year = "2024; drop table ZA_Message";
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                after = ReadEditorState(w, form);
              }).ok());
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_TRUE(MessageTexts()[0].find("year") != std::string::npos) << MessageTexts()[0];
  EXPECT_EQ(db_log->CountOf("Connection.Execute"), 0);
  EXPECT_EQ(after, (EditorState{0, "", true, {"9", "30", "", "T", "C"}, 2, false, false, true}));
  EXPECT_TRUE(database.Memos().empty());
}

TEST_F(SaveMemoTest, ACurrentDayThatIsNoDateIsReportedAndTheEditorStaysOpen) {
  context.day = "someday";
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                memory.toolkit->message_boxes.clear();
                AddThroughEditor(w, "9", "30", "T", "C", 2);
                after = ReadEditorState(w, form);
              }).ok());
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_TRUE(MessageTexts()[0].ends_with("(13)")) << MessageTexts()[0];
  EXPECT_TRUE(after.editor);
  EXPECT_TRUE(database.Memos().empty());
}

TEST_F(SaveMemoTest, AResourceFailureWhileFetchingAMessageIsShownInsteadOfCrashing) {
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Button("btnAdd")->Click());
                log->fail_lookup = static_cast<int>(log->lookups.size());
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                "Injected lookup failure for Q7.PUB.PORTAL0078(-2147467259)"});
  EXPECT_TRUE(after.editor) << "the window stays as it was";
  EXPECT_TRUE(after.save);
}

}  // namespace
}  // namespace agendia::testing
