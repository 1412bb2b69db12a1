// What the window promises every toolkit's users beyond the stored memos:
// names for assistive technology in each language, where the focus goes,
// mnemonics on every button, the owner from the first moment, and the
// toolkit's own texts in the window's language.

#include "form/accessible_names.h"
#include "resources/resource_library.h"
#include "support/window_fixture.h"

#include <map>
#include <set>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

TEST(AccessibleNameOfTest, DropsMnemonicMarksAndTheColonThatEndsALabel) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Add", "Add"},         {"E&xit", "Exit"},       {"增加(&A)", "增加"},
      {"Title:", "Title"},     {"标题：", "标题"},      {"Date: ", "Date"},
      {"R&&D", "R&D"},         {"(&)", "()"},           {"", ""},
  };
  for (const auto& [caption, name] : cases) {
    SCOPED_TRACE(caption);
    EXPECT_EQ(AccessibleNameOf(caption), name);
  }
}

class UsabilityTest : public WindowFixture {};

// Every control that takes input, named in each language; the labels that
// describe a field are its label.
TEST_F(UsabilityTest, EveryInputControlIsNamedInTheWindowsLanguageAndLabelsKnowTheirFields) {
  const std::map<std::string, std::vector<std::string>> expected = {
      {"en-us",
       {"Memo list", "Hour", "Minute", "Repeats", "Title", "Text", "Add", "Delete", "Modify", "Save", "Exit"}},
      {"zh-cn", {"日历信息列表", "小时", "分钟", "重复周期", "标题", "内容", "增加", "删除", "修改", "保存", "退出"}},
      {"zh-tw", {"日曆資訊列表", "小時", "分鐘", "重複週期", "標題", "內容", "新增", "刪除", "修改", "儲存", "退出"}},
  };
  const char* const controls[] = {"tvInfo",  "txtHour",   "txtMinute", "cboIntrval",
                                  "txtTitle", "txtContent", "btnAdd",   "btnDelete",
                                  "btnModify", "btnSave",   "btnExit"};
  for (const auto& [language, names] : expected) {
    SCOPED_TRACE(language);
    UserContext context;
    context.language = language;
    std::vector<std::string> seen;
    std::map<std::string, std::string> buddies;
    ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                  for (const char* name : controls) {
                    seen.push_back(dynamic_cast<platform::Control*>(w.FindControl(name))->AccessibleName());
                  }
                  for (const char* label : {"VXLabel1", "lblAlert", "lblEndDay", "lblTopic", "lblContent"}) {
                    buddies[label] = w.LabelNamed(label)->Buddy();
                  }
                }).ok());
    EXPECT_EQ(seen, names);
    EXPECT_EQ(buddies, (std::map<std::string, std::string>{{"VXLabel1", "tvInfo"},
                                                           {"lblAlert", "txtHour"},
                                                           {"lblContent", "txtContent"},
                                                           {"lblEndDay", "txtEndDay"},
                                                           {"lblTopic", "txtTitle"}}));
  }
}

// A resource library without the names of their own: the labels name their
// fields, and a lookup that fails does not stop the window.
TEST_F(UsabilityTest, WithoutNamesOfTheirOwnFieldsAreNamedByTheirLabels) {
  log->fail_keys = {"Agendia.frmCalendarInfo.txtHour", "Agendia.frmCalendarInfo.tvInfo"};
  std::string hour, tree;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                hour = w.Edit("txtHour")->AccessibleName();
                tree = w.Tree("tvInfo")->AccessibleName();
              }).ok());
  EXPECT_EQ(hour, "提醒");
  EXPECT_EQ(tree, "日历信息列表");
}

TEST_F(UsabilityTest, AddPutsTheFocusOnTheHourAndAnEndedSaveOnTheTree) {
  std::vector<std::string> focus;
  ASSERT_TRUE(Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_TRUE(w.Button("btnAdd")->Click());
                focus.push_back(w.FocusedControl());
                w.Edit("txtMinute")->SetFocus();
                w.Button("btnSave")->Click();  // rejected: no hour
                focus.push_back(w.FocusedControl());
                w.Edit("txtHour")->TypeText("9");
                w.Edit("txtMinute")->TypeText("30");
                w.Edit("txtTitle")->TypeText("Standup");
                w.Edit("txtContent")->TypeText("Room 2");
                w.Button("btnSave")->Click();
                focus.push_back(w.FocusedControl());
              }).ok());
  EXPECT_EQ(focus, (std::vector<std::string>{"txtHour", "txtMinute", "tvInfo"}));
  EXPECT_EQ(database.Query("select cMsgTitle from ZA_Message").size(), 1u);
}

// On a window system that does not activate the window at once (X11 may
// not), the owner is already set when the window is first shown.
TEST_F(UsabilityTest, ThePortalOwnsTheWindowBeforeItIsFirstShownAndItsLanguageIsTheToolkits) {
  auto portal = memory.window_system->CreateWindow();
  pub::g_hPortal = portal;
  memory.toolkit->on_form_created = [](MemoryFormWindow& w) { w.activate_when_shown = false; };
  platform::WindowHandle owner = 0;
  std::string toolkit_language;
  UserContext context;
  context.language = "ZH-TW";
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                owner = memory.window_system->OwnerOf(w.Handle());
                toolkit_language = w.toolkit_language;
                EXPECT_EQ(std::count(w.events.begin(), w.events.end(), "activate"), 0);
              }).ok());
  EXPECT_EQ(owner, portal);
  EXPECT_EQ(toolkit_language, "ZH-TW");
}

// Each button's caption in every shipped language has one mnemonic, and the
// five differ, so Alt plus a letter reaches each of them.
TEST(ShippedButtonCaptions, EveryButtonHasItsOwnMnemonicInEveryLanguage) {
  auto factory = resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR)->CreateResourceFactory();
  ASSERT_TRUE(factory.ok());
  auto service = (*factory)->GetResourceService();
  ASSERT_TRUE(service.ok());
  for (const char* language : {"en-us", "zh-cn", "zh-tw"}) {
    SCOPED_TRACE(language);
    std::set<char> letters;
    for (const char* key : {"Q7.PUB.PORTAL.frmCalendarInfo.008", "Q7.PUB.PORTAL.frmCalendarInfo.009",
                            "Q7.PUB.PORTAL.frmCalendarInfo.010", "Q7.PUB.PORTAL.frmCalendarInfo.011",
                            "Q7.PUB.PORTAL.frmCalendarInfo.012"}) {
      auto caption = (*service)->GetString(key, language);
      ASSERT_TRUE(caption.ok());
      const size_t mark = caption->find('&');
      ASSERT_NE(mark, std::string::npos) << *caption << " has no mnemonic";
      EXPECT_EQ(caption->find('&', mark + 1), std::string::npos) << *caption;
      letters.insert(static_cast<char>(std::tolower(static_cast<unsigned char>((*caption)[mark + 1]))));
    }
    EXPECT_EQ(letters.size(), 5u);
  }
}

}  // namespace
}  // namespace agendia::testing
