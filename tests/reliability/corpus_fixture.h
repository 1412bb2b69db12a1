#pragma once

// The hostile corpus runs each case on a fresh memo table of the backend
// under test, through the window's real Add, Save, show, Modify and Delete on
// the memory platform, and compares dumps of the table after every step.

#include "reliability/dump_compare.h"
#include "reliability/target_database.h"
#include "support/window_fixture.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace agendia::testing {

class CorpusTest : public WindowFixture {
 protected:
  using Window = platform::memory::MemoryFormWindow;

  void SetUp() override {
    WindowFixture::SetUp();
    Fresh();
  }

  // A new, empty memo table for the next case. A backend that cannot be
  // reached fails the test (MakeTargetDatabase says why).
  void Fresh() {
    target = MakeTargetDatabase();
    ASSERT_TRUE(target) << "no memo table on backend " << BackendName();
    context = UserContext{};
    context.conn = target->ConnectionString();
    context.language = "en-us";
  }

  // Opens the window, runs `steps` in it and closes it again; gives the texts
  // of the message boxes shown meanwhile.
  std::vector<std::string> InWindow(const std::function<void(Window&, frmCalendarInfo&)>& steps) {
    const size_t first = memory.toolkit->message_boxes.size();
    const Status shown = Open(context, [&](Window& w, frmCalendarInfo& f) { steps(w, f); });
    EXPECT_TRUE(shown.ok()) << shown.description();
    EXPECT_EQ(pub::g_bFormOpen, 0);
    std::vector<std::string> texts;
    for (size_t i = first; i < memory.toolkit->message_boxes.size(); ++i) {
      texts.push_back(memory.toolkit->message_boxes[i].text);
    }
    return texts;
  }

  // The memo keys the tree lists, under any group.
  static std::set<std::string> ListedMemos(Window& w) {
    std::set<std::string> keys;
    for (const std::string& group : w.Tree("tvInfo")->ChildKeys(std::nullopt)) {
      for (const std::string& key : w.Tree("tvInfo")->ChildKeys(group)) keys.insert(key);
    }
    return keys;
  }

  // Add with the time typed, the kind chosen, title and content pasted.
  static void TypeMemo(Window& w, const std::string& title, const std::string& content, int kind = 1) {
    ASSERT_TRUE(w.Button("btnAdd")->Click());
    w.Edit("txtHour")->TypeText("9");
    w.Edit("txtMinute")->TypeText("30");
    w.Edit("txtTitle")->Paste(title);
    w.Edit("txtContent")->Paste(content);
    w.Combo("cboIntrval")->Choose(kind);
  }
  // The same, then Save.
  static void AddMemo(Window& w, const std::string& title, const std::string& content, int kind = 1) {
    TypeMemo(w, title, content, kind);
    w.Button("btnSave")->Click();
  }

  // Modify of the memo shown, changing nothing but the hour, then Save.
  static void ModifyHour(Window& w, const std::string& hour) {
    w.Button("btnModify")->Click();
    w.Edit("txtHour")->SetText("");
    w.Edit("txtHour")->TypeText(hour);
    w.Button("btnSave")->Click();
  }

  std::unique_ptr<TargetDatabase> target;
  UserContext context;
};

// Rows that stand beside every case and must never change: a memo of the
// user and a memo of another user.
inline MemoRow Neighbour() {
  MemoRow row = Memo("N-neighbour", 1);
  row.title = "neighbour";
  return row;
}
inline MemoRow OtherUsersMemo() {
  MemoRow row = Memo("A-alice", 1);
  row.receiver = "alice";
  row.sender = "alice";
  return row;
}

}  // namespace agendia::testing
