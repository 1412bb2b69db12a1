// Delete in the memory window on a real database file.

#include "editing/editor_state.h"
#include "support/window_fixture.h"

#include <stdexcept>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

class DeleteMemoTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    database.Insert(Memo("m1", 2));
    database.Insert(Memo("m2", 2));
  }
  Status Session(std::function<void(MemoryFormWindow&, frmCalendarInfo&)> session) {
    Status opened = Open(context, std::move(session));
    EXPECT_EQ(db_log->live_connections, 0);
    EXPECT_EQ(db_log->live_recordsets, 0);
    return opened;
  }
  UserContext context;
};

TEST_F(DeleteMemoTest, TheSelectedMemoIsGoneFromTableAndTreeAtOnceWithoutAQuestion) {
  std::vector<std::string> listed;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                w.Edit("txtEndDay")->SetText("5");
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                listed = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
                EXPECT_EQ(w.Edit("txtEndDay")->Text(), "");
              }).ok());
  EXPECT_TRUE(MessageTexts().empty()) << "no question, no message";
  EXPECT_EQ(listed, std::vector<std::string>{"m2"});
  const auto rows = database.Memos();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("cMsgId"), "m2");
  EXPECT_EQ(db_log->CountOf("Connection.Execute(delete from VXSystem..za_message where "
                            "cMsgID='m1' and nMsgType=100 and cReceiver='demo')"),
            1);
}

TEST_F(DeleteMemoTest, ASecondDeleteRunsAgainMatchesNothingAndReportsNothing) {
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                EXPECT_EQ(form.SelectedMsgId(), "m1");
              }).ok());
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(db_log->CountOf("Connection.Execute(delete"), 2);
  EXPECT_EQ(database.Memos().size(), 1u);
}

// The tree lists the identifier as stored, and Delete addresses that row by
// it: trimmed, it would match no row and delete nothing without a word.
TEST_F(DeleteMemoTest, AnIdentifierWithSpacesAroundItIsDeletedAsStored) {
  database.Insert(Memo(" m3 ", 2));
  std::vector<std::string> listed;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(" m3 "));
                EXPECT_EQ(form.SelectedMsgId(), " m3 ");
                EXPECT_EQ(w.Edit("txtTitle")->Text(), "title") << "shown";
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                listed = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
              }).ok());
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(db_log->CountOf("Connection.Execute(delete from VXSystem..za_message where "
                            "cMsgID=' m3 ' and nMsgType=100 and cReceiver='demo')"),
            1);
  EXPECT_EQ(listed, (std::vector<std::string>{"m1", "m2"}));
  EXPECT_EQ(database.Memos().size(), 2u);
}

// A table without its key can hold two memos of the user under one
// identifier; the tree lists one of them, and a delete or update by that
// identifier would change both. Modify and Delete refuse, and say why.
TEST_F(DeleteMemoTest, ModifyAndDeleteRefuseAnIdentifierThatTwoMemosShare) {
  database.Run(
      "drop table ZA_Message;"
      "create table ZA_Message (cMsgId TEXT COLLATE NOCASE, nMsgType INTEGER, cMsgTitle TEXT,"
      " cMsgContent TEXT, cSender TEXT, cReceiver TEXT COLLATE NOCASE, dSend DATETIME,"
      " nValidDay INTEGER, bHasRead INTEGER, DisplayPeriods INTEGER, Account TEXT, Year INTEGER)");
  database.Insert(Memo("m1", 2));
  database.Insert(Memo("m1", 2));
  database.Insert(Memo("m2", 2));
  context.language = "en-us";
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                memory.toolkit->message_boxes.clear();  // the load's report of the second m1
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                // Modify opened on another memo, then the shared one clicked:
                // Save refuses the update as well.
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m2"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnSave")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  const std::string refusal =
      "This memo can be neither modified nor deleted: 2 memos share its identifier 'm1', and a "
      "change would reach them all";
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{refusal, refusal, refusal}));
  EXPECT_EQ(memory.toolkit->message_boxes[0].style, platform::mb::kExclamation);
  EXPECT_EQ(db_log->CountOf("Connection.Execute"), 0);
  EXPECT_TRUE(after.editor) << "what was typed stays";
  EXPECT_EQ(database.Memos().size(), 3u);
}

// The database is gone: the failed delete is the one message, not repeated
// by the reload that fails after it.
TEST_F(DeleteMemoTest, AnUnreachableDatabaseShowsOneMessageKeepsTheMemoAndEmptiesTheEditor) {
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                form.g_cConn = "Provider=SQLite;Data Source=" +
                               (database.folder() / "gone" / "x.db").string();
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  const auto texts = MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(texts[0].ends_with("(-2147467259)")) << texts[0];
  EXPECT_EQ(db_log->CountOf("Connection.Open"), 4) << "load, click, delete, and the reload";
  EXPECT_EQ(after, (EditorState{1, "m1", false, {"", "", "", "", ""}, 2, true, true, false}));
  EXPECT_EQ(database.Memos().size(), 2u);
}

// The memo is gone; only reading the list again failed. The user is told so
// in the window's language, and the tree keeps what it listed.
TEST_F(DeleteMemoTest, AReloadThatFailsAfterTheDeleteNamesTheListAndKeepsTheTree) {
  db_log->faults.push_back({"Recordset.Open(select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver",
                            2, Status::Error(db::err::kTimeout, "database is locked")});
  EditorState after;
  std::vector<std::string> listed;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                after = ReadEditorState(w, form);
                listed = w.Tree("tvInfo")->ChildKeys(std::string("rtWeek"));
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                "信息已删除，但无法重新读取信息列表：database is locked(-2147217871)"});
  EXPECT_EQ(after, (EditorState{0, "m1", false, {"", "", "", "", ""}, 2, false, true, false}));
  EXPECT_EQ(listed, (std::vector<std::string>{"m1", "m2"}));
  EXPECT_EQ(database.Memos().size(), 1u);
}

TEST_F(DeleteMemoTest, AReloadThatFailsOutsideTheDatabaseIsShownAfterTheEditorIsLocked) {
  EditorState after;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                w.Tree("tvInfo")->fail_add_after = 0;
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                after = ReadEditorState(w, form);
              }).ok());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Tree node could not be added(-2147467259)"});
  EXPECT_EQ(after, (EditorState{0, "m1", false, {"", "", "", "", ""}, 2, false, true, false}));
  EXPECT_EQ(database.Memos().size(), 1u) << "the delete itself went through";
}

// A database client whose objects cannot even be made: it throws, as a
// broken driver might.
class ThrowingClient final : public db::Client {
 public:
  StatusOr<std::shared_ptr<db::Connection>> CreateConnection() override {
    throw std::runtime_error("driver exploded");
  }
  StatusOr<std::unique_ptr<db::Recordset>> CreateRecordset() override {
    throw std::runtime_error("driver exploded");
  }
};

TEST_F(DeleteMemoTest, AnExceptionFromTheDatabaseClientIsReportedLikeAnyDatabaseFailure) {
  // Opened on the real database, then the client is swapped for one that
  // throws: the delete reports it, the reload that fails alike does not
  // repeat it, and Delete ends as after any failure.
  EditorState after;
  bool add_works = false;
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo& form) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                memory.platform->database = std::make_shared<ThrowingClient>();
                ASSERT_TRUE(w.Button("btnDelete")->Click());
                after = ReadEditorState(w, form);
                ASSERT_TRUE(w.Button("btnAdd")->Click());
                add_works = w.Button("btnSave")->Enabled();
              }).ok());
  const std::string failure = "The database client failed: driver exploded(-2147467259)";
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{failure}));
  EXPECT_EQ(after, (EditorState{0, "m1", false, {"", "", "", "", ""}, 2, true, true, false}));
  EXPECT_TRUE(add_works);
  EXPECT_EQ(database.Memos().size(), 2u);
}

}  // namespace
}  // namespace agendia::testing
