// The window's one table of control states, checked as sequences of events:
// after every event the whole state (mode, selection, editor, texts, kind and
// the three command buttons) must be exactly the expected one.

#include "editing/editor_state.h"
#include "support/window_fixture.h"

#include <functional>
#include <vector>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

using Texts = std::array<std::string, 5>;
const Texts kEmpty{"", "", "", "", ""};
const Texts kStandup{"7", "5", "", "Standup", "Room 3"};    // memo m1, weekly
const Texts kReadMail{"8", "0", "", "Read mail", "Inbox"};  // memo m2, daily

struct Step {
  const char* event;
  std::function<void(MemoryFormWindow&)> act;
  EditorState expected;
};

class ControlStatesTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    MemoRow standup = Memo("m1", 2);
    standup.send = "2024-02-23 07:05:00";
    standup.title = "Standup";
    standup.content = "Room 3";
    database.Insert(standup);
    MemoRow mail = Memo("m2", 1);
    mail.send = "2024-01-10 08:00:00";
    mail.title = "Read mail";
    mail.content = "Inbox";
    database.Insert(mail);
  }

  // Runs the steps in one window session and compares the state after each.
  void Run(const std::vector<Step>& steps) {
    Status opened = Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo& form) {
      for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        if (step.act) step.act(w);
        EXPECT_EQ(ReadEditorState(w, form), step.expected);
      }
    });
    ASSERT_TRUE(opened.ok()) << opened.description();
  }

  static std::function<void(MemoryFormWindow&)> Click(const char* button) {
    return [button](MemoryFormWindow& w) { EXPECT_TRUE(w.Button(button)->Click()) << button; };
  }
  static std::function<void(MemoryFormWindow&)> ClickNode(const char* key) {
    return [key](MemoryFormWindow& w) { EXPECT_TRUE(w.Tree("tvInfo")->ClickNode(key)) << key; };
  }
};

TEST_F(ControlStatesTest, BrowsingAddingSavingAndDeleting) {
  Run({
      {"load", nullptr, {0, "", false, kEmpty, -1, false, false, false}},
      {"memo clicked", ClickNode("m1"), {0, "m1", false, kStandup, 2, true, true, false}},
      {"group clicked", ClickNode("rtWeek"), {0, "", false, kStandup, 2, false, false, false}},
      {"memo clicked", ClickNode("m1"), {0, "m1", false, kStandup, 2, true, true, false}},
      {"add", Click("btnAdd"), {0, "m1", true, kEmpty, 2, false, false, true}},
      {"input typed",
       [](MemoryFormWindow& w) { FillEditor(w, "9", "30", "New", "Body", 3); },
       {0, "m1", true, {"9", "30", "", "New", "Body"}, 3, false, false, true}},
      {"save", Click("btnSave"),
       {0, "m1", false, {"9", "30", "", "New", "Body"}, 3, false, false, false}},
      {"memo clicked", ClickNode("m2"), {0, "m2", false, kReadMail, 1, true, true, false}},
      // The memo is gone: nothing is left to modify; Delete may run again.
      {"delete", Click("btnDelete"), {0, "m2", false, kEmpty, 1, false, true, false}},
      {"delete again", Click("btnDelete"), {0, "m2", false, kEmpty, 1, false, true, false}},
  });
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(ControlStatesTest, ModifyingWithARejectedSaveAndAGroupClick) {
  Run({
      {"load", nullptr, {0, "", false, kEmpty, -1, false, false, false}},
      {"memo clicked", ClickNode("m1"), {0, "m1", false, kStandup, 2, true, true, false}},
      {"modify", Click("btnModify"), {1, "m1", true, kStandup, 2, true, true, true}},
      {"hour cleared", [](MemoryFormWindow& w) { w.Edit("txtHour")->SetText(""); },
       {1, "m1", true, {"", "5", "", "Standup", "Room 3"}, 2, true, true, true}},
      {"save rejected", Click("btnSave"),
       {1, "m1", true, {"", "5", "", "Standup", "Room 3"}, 2, true, true, true}},
      {"other memo clicked", ClickNode("m2"), {1, "m2", true, kReadMail, 1, true, true, true}},
      {"group clicked", ClickNode("rtDay"), {1, "", true, kReadMail, 1, false, false, true}},
      {"memo clicked", ClickNode("m1"), {1, "m1", true, kStandup, 2, true, true, true}},
      {"save", Click("btnSave"), {1, "m1", false, kStandup, 2, false, false, false}},
  });
  ASSERT_EQ(MessageTexts().size(), 1u);
}

TEST_F(ControlStatesTest, ClickingAMemoWhileAddingKeepsAddingAndSaveInsertsACopy) {
  Run({
      {"load", nullptr, {0, "", false, kEmpty, -1, false, false, false}},
      {"add", Click("btnAdd"), {0, "", true, kEmpty, -1, false, false, true}},
      {"memo clicked", ClickNode("m1"), {0, "m1", true, kStandup, 2, true, true, true}},
      {"save", Click("btnSave"), {0, "m1", false, kStandup, 2, true, false, false}},
  });
  EXPECT_EQ(database.Query("select * from ZA_Message where cMsgTitle='Standup'").size(), 2u);
}

TEST_F(ControlStatesTest, DeleteWhileAddingLocksTheEditorAndKeepsTheMode) {
  Run({
      {"memo clicked", ClickNode("m1"), {0, "m1", false, kStandup, 2, true, true, false}},
      {"modify", Click("btnModify"), {1, "m1", true, kStandup, 2, true, true, true}},
      {"add", Click("btnAdd"), {0, "m1", true, kEmpty, 2, false, false, true}},
      {"memo clicked", ClickNode("m2"), {0, "m2", true, kReadMail, 1, true, true, true}},
      {"delete", Click("btnDelete"), {0, "m2", false, kEmpty, 1, false, true, false}},
  });
  EXPECT_TRUE(database.Query("select * from ZA_Message where cMsgId='m2'").empty());
  EXPECT_EQ(database.Query("select * from ZA_Message where cMsgId='m1'").size(), 1u);
}

TEST_F(ControlStatesTest, DisabledButtonsCannotBeClickedAndNothingIsWritten) {
  Status opened = Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
    EXPECT_FALSE(w.Button("btnModify")->Click());
    EXPECT_FALSE(w.Button("btnDelete")->Click());
    EXPECT_FALSE(w.Button("btnSave")->Click());
  });
  ASSERT_TRUE(opened.ok()) << opened.description();
  EXPECT_EQ(database.Memos().size(), 2u);
  EXPECT_EQ(db_log->CountOf("Connection.Execute"), 0);
}

}  // namespace
}  // namespace agendia::testing
