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

TEST_F(DeleteMemoTest, AnIdentifierWithSpacesAroundItIsTrimmedBeforeTheStatement) {
  database.Insert(Memo(" m3 ", 2));
  ASSERT_TRUE(Session([&](MemoryFormWindow& w, frmCalendarInfo&) {
                // The click selects the trimmed key; the tree still holds it spaced.
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(" m3 "));
                ASSERT_TRUE(w.Button("btnDelete")->Click());
              }).ok());
  EXPECT_EQ(db_log->CountOf("Connection.Execute(delete from VXSystem..za_message where "
                            "cMsgID='m3' and nMsgType=100 and cReceiver='demo')"),
            1);
}

TEST_F(DeleteMemoTest, AnUnreachableDatabaseShowsTwoMessagesKeepsTheMemoAndEmptiesTheEditor) {
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
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(texts[0].ends_with("(-2147467259)")) << texts[0];
  EXPECT_EQ(texts[1], texts[0]);
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
  // throws: the delete and the reload each report it, and Delete ends as
  // after any failure.
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
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{failure, failure}));
  EXPECT_EQ(after, (EditorState{0, "m1", false, {"", "", "", "", ""}, 2, true, true, false}));
  EXPECT_TRUE(add_works);
  EXPECT_EQ(database.Memos().size(), 2u);
}

}  // namespace
}  // namespace agendia::testing
