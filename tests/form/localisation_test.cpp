#include "support/window_fixture.h"

namespace agendia::testing {
namespace {

using platform::FontDesign;
using platform::memory::MemoryFormWindow;
namespace langid = platform::langid;

class LocalisationTest : public WindowFixture {};

struct FontCase {
  const char* language;
  uint16_t system_lang_id;
  // Expected font of a control designed as Tahoma 9 (tvInfo) and of one
  // designed as 宋体 9 (btnAdd).
  FontDesign tree_font;
  FontDesign button_font;
  double caption_bar_size;  // designed as 8.25
};
void PrintTo(const FontCase& c, std::ostream* os) {
  *os << c.language << " on system language " << c.system_lang_id;
}

class FontRuleTest : public WindowFixture, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontRuleTest, ResizeGivesEveryControlTheLanguageFont) {
  const FontCase& c = GetParam();
  MakePlatform(c.system_lang_id);
  UserContext context;
  context.language = c.language;
  FontDesign tree, button, caption_bar;
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                tree = w.Tree("tvInfo")->Font()->Get();
                button = w.Button("btnAdd")->Font()->Get();
                caption_bar = w.FindControl("VXFrmCaptionMgr")->Font()->Get();
              }).ok());
  EXPECT_EQ(tree, c.tree_font);
  EXPECT_EQ(button, c.button_font);
  // The invisible caption bar is in the controls collection too.
  EXPECT_EQ(caption_bar.size, c.caption_bar_size);
}

INSTANTIATE_TEST_SUITE_P(
    LanguagesAndSystemLanguages, FontRuleTest,
    ::testing::Values(
        FontCase{"en-us", langid::kChineseSimplified, {"Tahoma", 8, 400, 0}, {"Tahoma", 8, 400, 0}, 8},
        FontCase{"EN-US", langid::kJapanese, {"Tahoma", 8, 400, 0}, {"Tahoma", 8, 400, 0}, 8},
        FontCase{"zh-cn", langid::kChineseSimplified, {"宋体", 9, 400, 134}, {"宋体", 9, 400, 134}, 9},
        FontCase{"zh-tw", langid::kChineseTraditional, {"SimSun", 9, 400, 134}, {"SimSun", 9, 400, 134}, 9},
        FontCase{"zh-cn", langid::kEnglishUS, {"SimSun", 9, 400, 134}, {"SimSun", 9, 400, 134}, 9},
        // Another system language keeps the font name but still sets size and charset.
        FontCase{"zh-cn", langid::kJapanese, {"Tahoma", 9, 400, 134}, {"宋体", 9, 400, 134}, 9},
        // A language other than the three changes no font.
        FontCase{"fr-fr", langid::kChineseSimplified, {"Tahoma", 9, 400, 0}, {"宋体", 9, 400, 134}, 8.25}));

TEST_F(LocalisationTest, FontRuleSkipsControlsWithoutAFontAndStillReachesTheRest) {
  UserContext context;
  context.language = "en-us";
  FontDesign last;
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                // Take the font of the first control away, then resize again.
                w.Tree("tvInfo")->RemoveFont();
                w.LabelNamed("lblAlert")->Font()->SetName("Other").IgnoreError();
                w.Resize();
                last = w.LabelNamed("lblAlert")->Font()->Get();
              }).ok());
  EXPECT_EQ(last.name, "Tahoma");
}

struct CaptionCase {
  const char* language;
  const char* title;
  const char* tree_heading;
  const char* date_header;
  const char* add;
  const char* save;
  const char* weekday;
  const char* weekly;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.language; }

class CaptionTest : public WindowFixture, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(CaptionTest, CaptionsIntervalListAndWeekdayFollowTheLanguage) {
  const CaptionCase& c = GetParam();
  UserContext context;
  context.language = c.language;
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                EXPECT_EQ(w.Title(), c.title);
                EXPECT_EQ(w.LabelNamed("VXLabel1")->Caption(), c.tree_heading);
                EXPECT_EQ(w.LabelNamed("lblCurrDay")->Caption(), c.date_header);
                EXPECT_EQ(w.Button("btnAdd")->Caption(), c.add);
                EXPECT_EQ(w.Button("btnSave")->Caption(), c.save);
                EXPECT_EQ(w.LabelNamed("wk")->Caption(), c.weekday);
                EXPECT_EQ(w.LabelNamed("lblHour")->Caption(), ":");
                auto* interval = w.Combo("cboIntrval");
                ASSERT_EQ(interval->ListCount(), 6);
                EXPECT_EQ(*interval->List(2), c.weekly);
                EXPECT_EQ(interval->ListIndex(), -1);
              }).ok());
}

INSTANTIATE_TEST_SUITE_P(
    ThreeLanguagesAndAnother, CaptionTest,
    ::testing::Values(
        CaptionCase{"zh-cn", "日历信息管理", "日历信息列表", "提示日期：2024-03-01", "增加(&A)",
                    "保存(&S)", "星期五", "每周"},
        CaptionCase{"zh-tw", "日曆資訊管理", "日曆資訊列表", "提示日期：2024-03-01", "新增(&A)",
                    "儲存(&S)", "星期五", "每週"},
        CaptionCase{"en-us", "Calendar Memos", "Memos due today", "Date: 2024-03-01", "&Add",
                    "&Save", "Friday", "Weekly"},
        CaptionCase{"EN-US", "Calendar Memos", "Memos due today", "Date: 2024-03-01", "&Add",
                    "&Save", "Friday", "Weekly"},
        // Unknown languages get the fallback texts but Chinese weekday names.
        CaptionCase{"fr-fr", "Calendar Memos", "Memos due today", "Date: 2024-03-01", "&Add",
                    "&Save", "星期五", "Weekly"}));

TEST_F(LocalisationTest, StartUpLooksUpWithTheHostsCodeAndLaterLookupsWithLowerCase) {
  UserContext context;
  context.language = "EN-US";
  std::string language_after_load;
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow&, frmCalendarInfo& form) {
                language_after_load = form.lanuage;
                ASSERT_TRUE(form.GetString("Q7.PUB.PORTAL0078").ok());
              }).ok());
  EXPECT_EQ(language_after_load, "en-us");
  // 12 captions, 6 interval items, 4 names for assistive technology and 6
  // group nodes with the host's code ...
  ASSERT_EQ(log->lookups.size(), 29u);
  for (size_t i = 0; i < 28; ++i) EXPECT_EQ(log->lookups[i].second, "EN-US") << i;
  EXPECT_EQ(log->lookups[0].first, "Q7.PUB.PORTAL.frmCalendarInfo.001");
  EXPECT_EQ(log->lookups[12].first, "Q7.PUB.PORTAL.frmCalendarInfo.051");
  EXPECT_EQ(log->lookups[18].first, "Agendia.frmCalendarInfo.tvInfo");
  EXPECT_EQ(log->lookups[22].first, "Q7.PUB.PORTAL.frmCalendarInfo.051");
  // ... and the first lookup after the weekday with the lower-case code.
  EXPECT_EQ(log->lookups[28], std::make_pair(std::string("Q7.PUB.PORTAL0078"), std::string("en-us")));
}

TEST_F(LocalisationTest, FactoryIsCreatedAndInitialisedOncePerWindow) {
  ASSERT_TRUE(Open(UserContext{}).ok());
  EXPECT_EQ(log->factories_created, 1);
  EXPECT_EQ(log->initialisations, 1);
  EXPECT_EQ(log->service_requests, 1);
  ASSERT_TRUE(Open(UserContext{}).ok());
  EXPECT_EQ(log->factories_created, 2);
}

TEST_F(LocalisationTest, FailedServiceRequestIsRetriedOnTheKeptFactoryWithoutReinitialising) {
  log->fail_service_request = 0;
  calendar = std::make_unique<frmCalendarInfo>(memory.platform);
  calendar->lanuage = "zh-cn";
  auto first = calendar->GetString("Q7.PUB.PORTAL.frmCalendarInfo.008");
  ASSERT_FALSE(first.ok());
  EXPECT_EQ(first.status().description(), "Injected service failure");
  auto second = calendar->GetString("Q7.PUB.PORTAL.frmCalendarInfo.008");
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(*second, "增加(&A)");
  EXPECT_EQ(log->factories_created, 1);
  EXPECT_EQ(log->initialisations, 1);
  EXPECT_EQ(log->service_requests, 2);
}

TEST_F(LocalisationTest, LookupFailureDuringStartUpFailsTheShowWithItsDescription) {
  log->fail_lookup = 3;
  Status shown = Open(UserContext{});
  ASSERT_FALSE(shown.ok());
  EXPECT_EQ(shown.description(), "Injected lookup failure for Q7.PUB.PORTAL.frmCalendarInfo.004");
  EXPECT_EQ(memory.toolkit->last_form, nullptr);
}

TEST_F(LocalisationTest, MissingResourceLibraryFailsTheShowNamingTheFolder) {
  MakePlatform(langid::kChineseSimplified, "/nonexistent/agendia-resources");
  Status shown = Open(UserContext{});
  ASSERT_FALSE(shown.ok());
  EXPECT_NE(shown.description().find("/nonexistent/agendia-resources"), std::string::npos);
}

TEST_F(LocalisationTest, WeekdayNamesForEveryDayOfAWeek) {
  const char* const chinese[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
  const char* const english[] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};
  for (int i = 0; i < 7; ++i) {
    // 2024-01-01 was a Monday.
    UserContext context;
    context.day = "2024-01-0" + std::to_string(i + 1);
    for (const char* language : {"zh-cn", "en-us"}) {
      context.language = language;
      std::string shown;
      ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                    shown = w.LabelNamed("wk")->Caption();
                  }).ok());
      SCOPED_TRACE(context.day + " " + language);
      EXPECT_EQ(shown, std::string(language) == "en-us" ? english[i] : chinese[i]);
    }
  }
}

TEST_F(LocalisationTest, CurrentDayThatIsNoDateLeavesTheWeekdayEmptyAndStillOpens) {
  UserContext context;
  context.day = "tomorrow";
  context.language = "EN-US";
  std::string weekday = "unset", header;
  ASSERT_TRUE(Open(context, [&](MemoryFormWindow& w, frmCalendarInfo&) {
                weekday = w.LabelNamed("wk")->Caption();
                header = w.LabelNamed("lblCurrDay")->Caption();
              }).ok());
  EXPECT_EQ(weekday, "");
  EXPECT_EQ(header, "Date: tomorrow");
}

}  // namespace
}  // namespace agendia::testing
