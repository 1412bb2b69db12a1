#include "support/window_fixture.h"

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

class WindowTest : public WindowFixture {};

TEST_F(WindowTest, StartUpLeavesOnlyAddAndExitEnabledWithTheEditorLocked) {
  struct Expected {
    const char* control;
    bool enabled;
  };
  const Expected expected[] = {
      {"btnAdd", true},     {"btnExit", true},     {"btnDelete", false},  {"btnModify", false},
      {"btnSave", false},   {"txtHour", false},    {"txtMinute", false},  {"txtEndDay", false},
      {"txtTitle", false},  {"txtContent", false},
  };
  bool interval_enabled = true;
  std::vector<std::pair<std::string, bool>> seen;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo& form) {
                for (const Expected& e : expected) {
                  if (auto* button = w.Button(e.control)) seen.emplace_back(e.control, button->Enabled());
                  if (auto* edit = w.Edit(e.control)) seen.emplace_back(e.control, edit->Enabled());
                }
                interval_enabled = w.Combo("cboIntrval")->Enabled();
                EXPECT_EQ(form.SelectedMsgId(), "");
                EXPECT_EQ(form.EditMode(), 0);
              }).ok());
  ASSERT_EQ(seen.size(), std::size(expected));
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(seen[i].first);
    EXPECT_EQ(seen[i].second, expected[i].enabled);
  }
  EXPECT_FALSE(interval_enabled);
}

TEST_F(WindowTest, TreeHoldsTheSixGroupsInKindOrderWithTheirCaptions) {
  std::vector<std::string> keys, texts;
  bool all_expanded = true;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                auto* tree = w.Tree("tvInfo");
                keys = tree->ChildKeys(std::nullopt);
                for (const auto& key : keys) {
                  texts.push_back(tree->FindNode(key)->text);
                  all_expanded = all_expanded && tree->IsExpanded(key);
                  EXPECT_TRUE(tree->ChildKeys(key).empty());
                }
                EXPECT_EQ(tree->NodeCount(), 6);
              }).ok());
  EXPECT_EQ(keys, (std::vector<std::string>{"rtOne", "rtDay", "rtWeek", "rtMonth", "rtQuarter", "rtYear"}));
  EXPECT_EQ(texts, (std::vector<std::string>{"一次", "每天", "每周", "每月", "每季度", "每年"}));
  EXPECT_TRUE(all_expanded);
}

TEST_F(WindowTest, EventsComeInWindowOrderAndUnloadClearsTheOpenFlag) {
  pub::g_bFormOpen = -1;
  int16_t flag_while_open = 0;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow&, frmCalendarInfo&) {
                flag_while_open = pub::g_bFormOpen;
              }).ok());
  EXPECT_EQ(flag_while_open, -1);
  EXPECT_EQ(pub::g_bFormOpen, 0);
  ASSERT_EQ(memory.toolkit->forms_created, 1);
  EXPECT_EQ(memory.toolkit->live_leases, 0);
}

TEST_F(WindowTest, ExitButtonAndEscapeUnloadTheWindow) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Exit");
    pub::g_bFormOpen = -1;
    std::vector<std::string> events;
    bool still_shown = true;
    ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                  if (escape) {
                    w.PressEscape();
                  } else {
                    ASSERT_TRUE(w.Button("btnExit")->Click());
                  }
                  still_shown = w.IsShown();
                  events = w.events;
                }).ok());
    EXPECT_FALSE(still_shown);
    EXPECT_EQ(events, (std::vector<std::string>{"load", "resize", "activate", "unload"}));
    EXPECT_EQ(pub::g_bFormOpen, 0);
  }
}

// Load sets the owner once before the window is shown, each activation again.
TEST_F(WindowTest, EveryActivationMakesThePortalTheOwner) {
  auto portal = memory.window_system->CreateWindow();
  pub::g_hPortal = portal;
  platform::WindowHandle owner = 0;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                owner = memory.window_system->OwnerOf(w.Handle());
                memory.window_system->SetWindowOwner(w.Handle(), 0);
                w.Activate();
                EXPECT_EQ(memory.window_system->OwnerOf(w.Handle()), portal);
              }).ok());
  EXPECT_EQ(owner, portal);
  EXPECT_EQ(memory.window_system->set_owner_calls, 4);
}

TEST_F(WindowTest, WithoutAPortalTheWindowGetsNoOwner) {
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                EXPECT_EQ(memory.window_system->OwnerOf(w.Handle()), 0);
              }).ok());
  EXPECT_EQ(memory.window_system->set_owner_calls, 0);
}

TEST_F(WindowTest, ZOrderReachesTheOpenWindowAndFailsOnceItIsClosed) {
  int calls = 0;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo& form) {
                EXPECT_TRUE(form.ZOrder().ok());
                calls = w.bring_to_front_calls;
              }).ok());
  EXPECT_EQ(calls, 1);
  Status after = calendar->ZOrder();
  EXPECT_FALSE(after.ok());
  EXPECT_EQ(after.code(), hr::kUnexpected);
}

TEST_F(WindowTest, AWindowObjectIsShownOnlyOnce) {
  ASSERT_TRUE(Open(UserContext{}).ok());
  Status again = calendar->Show(1);
  EXPECT_FALSE(again.ok());
  EXPECT_EQ(memory.toolkit->forms_created, 1);
}

TEST_F(WindowTest, WindowThatCannotBeBuiltFailsWithTheToolkitsDescription) {
  memory.toolkit->fail_create_form = Status::Fail("No display");
  Status shown = Open(UserContext{});
  ASSERT_FALSE(shown.ok());
  EXPECT_EQ(shown.description(), "No display");
  memory.toolkit->fail_create_form.reset();
  memory.toolkit->fail_runtime = Status::Fail("No runtime");
  EXPECT_EQ(Open(UserContext{}).description(), "No runtime");
}

TEST_F(WindowTest, TreeFailureDuringStartUpFailsTheShow) {
  memory.toolkit->on_form_created = [](MemoryFormWindow& w) { w.Tree("tvInfo")->fail_add_after = 2; };
  bool session_ran = false;
  Status shown = Open(UserContext{}, [&](MemoryFormWindow&, frmCalendarInfo&) { session_ran = true; });
  ASSERT_FALSE(shown.ok());
  EXPECT_EQ(shown.description(), "Tree node could not be added");
  EXPECT_FALSE(session_ran);
}

}  // namespace
}  // namespace agendia::testing
