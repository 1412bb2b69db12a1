// The key and mouse filters of the editor fields: the rules on their own, as
// tables, and the handlers of the window driven key by key.

#include "editing/input_rules.h"
#include "support/window_fixture.h"

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

TEST(InputRulesTest, TitleAndContentRefuseOnlyTheFourCharactersAsTyped) {
  const struct {
    int16_t code;
    bool passes;
  } cases[] = {
      {'.', false}, {'\'', false}, {'<', false}, {'>', false},
      {'A', true},  {'z', true},   {'0', true},  {' ', true},  {'"', true},  {',', true},
      {8, true},    {22, true},    {13, true},
      {static_cast<int16_t>(0xFF0E), true},  // full-width full stop
      {static_cast<int16_t>(0xFF07), true},  // full-width apostrophe
      {static_cast<int16_t>(0x4E2D), true},  // 中
      {static_cast<int16_t>(0x9031), true},  // a code above 0x7FFF is negative as int16
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(editing::FilterTextKey(c.code), c.passes ? c.code : 0);
  }
}

TEST(InputRulesTest, TimeFieldsTakeDigitsAndBackspaceOnly) {
  for (int code = -200; code < 0x10000; code += (code < 256 ? 1 : 97)) {
    const auto key = static_cast<int16_t>(code);
    const bool passes = (key >= '0' && key <= '9') || key == 8;
    ASSERT_EQ(editing::FilterDigitKey(key), passes ? key : 0) << code;
  }
}

TEST(InputRulesTest, TheClampCutsOnlyWholeNumbersAboveTheBound) {
  const struct {
    const char* text;
    int highest;
    std::optional<std::string_view> result;
  } cases[] = {
      {"", 23, std::nullopt},   {"7", 23, std::nullopt},  {"07", 23, std::nullopt},
      {"23", 23, std::nullopt}, {"24", 23, "23"},         {"25", 23, "23"},
      {"99", 23, "23"},         {"39", 23, "23"},         {"19", 23, std::nullopt},
      {"59", 59, std::nullopt}, {"60", 59, "59"},         {"65", 59, "59"},
      // Pasted text that is no whole number is left for Save to refuse.
      {"ab", 23, std::nullopt}, {"-5", 23, std::nullopt}, {"9x", 23, std::nullopt},
      {"２５", 23, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(editing::ClampedTimeText(c.text, c.highest, c.highest == 23 ? "23" : "59"), c.result);
  }
}

class InputFiltersTest : public WindowFixture {
 protected:
  // Opens the window with the editor open (as after Add) and runs `session`.
  void WithOpenEditor(std::function<void(MemoryFormWindow&)> session) {
    Status opened = Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
      ASSERT_TRUE(w.Button("btnAdd")->Click());
      session(w);
    });
    ASSERT_TRUE(opened.ok()) << opened.description();
    EXPECT_TRUE(MessageTexts().empty());
  }
};

TEST_F(InputFiltersTest, TitleAndContentKeepEverythingTypedButFullStopApostropheAndAngles) {
  WithOpenEditor([](MemoryFormWindow& w) {
    w.Edit("txtTitle")->TypeText("A'b.c<d>e");
    w.Edit("txtContent")->TypeText("A'b.c<d>e, \"f\"!");
    w.Edit("txtEndDay")->TypeText("'.");  // the end day has no filter
    EXPECT_EQ(w.Edit("txtTitle")->Text(), "Abcde");
    EXPECT_EQ(w.Edit("txtContent")->Text(), "Abcde, \"f\"!");
    EXPECT_EQ(w.Edit("txtEndDay")->Text(), "'.");
  });
}

TEST_F(InputFiltersTest, TimeFieldsTakeDigitsClampAsTheyAreTypedAndNeverPad) {
  struct Case {
    const char* field;
    const char* typed;  // \b is backspace
    const char* text;
  };
  const Case cases[] = {
      {"txtHour", "1a2", "12"},  {"txtHour", "-: 7", "7"},  {"txtHour", "25", "23"},
      {"txtHour", "2\b", ""},    {"txtHour", "07", "07"},   {"txtHour", "99", "23"},
      {"txtMinute", "65", "59"}, {"txtMinute", "59", "59"}, {"txtMinute", "60", "59"},
      {"txtMinute", "07", "07"}, {"txtMinute", "6\b5", "5"},
  };
  WithOpenEditor([&](MemoryFormWindow& w) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.field) + " typed '" + c.typed + "'");
      w.Edit(c.field)->SetText("");
      w.Edit(c.field)->TypeText(c.typed);
      EXPECT_EQ(w.Edit(c.field)->Text(), c.text);
    }
  });
}

TEST_F(InputFiltersTest, TheClampRunsAfterAnyKeyAndLeavesPastedTextAlone) {
  WithOpenEditor([](MemoryFormWindow& w) {
    auto* hour = w.Edit("txtHour");
    hour->Type('2');
    EXPECT_EQ(hour->Text(), "2") << "after the first release";
    hour->Type('5');
    EXPECT_EQ(hour->Text(), "23");
    // A digit typed in front: "19" stays, "39" is cut.
    hour->SetText("19");
    hour->PressKey(37);
    EXPECT_EQ(hour->Text(), "19");
    hour->SetText("39");
    hour->PressKey(37);
    EXPECT_EQ(hour->Text(), "23");
    hour->PressKey(16);
    EXPECT_EQ(hour->Text(), "23");
    hour->SetText("");
    hour->Paste("ab");
    hour->PressKey(39);
    EXPECT_EQ(hour->Text(), "ab");
  });
}

TEST_F(InputFiltersTest, NoMouseActionChangesATimeField) {
  WithOpenEditor([](MemoryFormWindow& w) {
    for (const char* name : {"txtHour", "txtMinute"}) {
      SCOPED_TRACE(name);
      auto* field = w.Edit(name);
      field->TypeText("7");
      field->ClickMouse([&] { field->SetText("99"); });  // dragged in meanwhile
      EXPECT_EQ(field->Text(), "7");
      field->ClickMouse();
      EXPECT_EQ(field->Text(), "7");
      // The text of the last press counts, not that of an earlier one.
      field->TypeText("\b4");
      field->ClickMouse([&] { field->SetText(""); });
      EXPECT_EQ(field->Text(), "4");
    }
    // Title and content have no mouse handlers.
    auto* title = w.Edit("txtTitle");
    title->ClickMouse([&] { title->SetText("dropped"); });
    EXPECT_EQ(title->Text(), "dropped");
  });
}

TEST_F(InputFiltersTest, LengthLimitsHoldForPastedText) {
  WithOpenEditor([](MemoryFormWindow& w) {
    w.Edit("txtHour")->Paste("12345");
    w.Edit("txtTitle")->Paste(std::string(30, 'x'));
    w.Edit("txtContent")->Paste(std::string(600, 'y'));
    EXPECT_EQ(w.Edit("txtHour")->Text(), "12");
    EXPECT_EQ(w.Edit("txtTitle")->Text(), std::string(24, 'x'));
    EXPECT_EQ(w.Edit("txtContent")->Text(), std::string(512, 'y'));
  });
}

}  // namespace
}  // namespace agendia::testing
