#include "resources/resource_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace agendia::resources {
namespace {

const char* const kAllKeys[] = {
    "Q7.PUB.PORTAL.frmCalendarInfo.001", "Q7.PUB.PORTAL.frmCalendarInfo.002",
    "Q7.PUB.PORTAL.frmCalendarInfo.003", "Q7.PUB.PORTAL.frmCalendarInfo.004",
    "Q7.PUB.PORTAL.frmCalendarInfo.005", "Q7.PUB.PORTAL.frmCalendarInfo.006",
    "Q7.PUB.PORTAL.frmCalendarInfo.007", "Q7.PUB.PORTAL.frmCalendarInfo.008",
    "Q7.PUB.PORTAL.frmCalendarInfo.009", "Q7.PUB.PORTAL.frmCalendarInfo.010",
    "Q7.PUB.PORTAL.frmCalendarInfo.011", "Q7.PUB.PORTAL.frmCalendarInfo.012",
    "Q7.PUB.PORTAL.frmCalendarInfo.051", "Q7.PUB.PORTAL.frmNoter.011",
    "Q7.PUB.PORTAL.frmNoter.012",        "Q7.PUB.PORTAL.frmNoter.013",
    "Q7.PUB.PORTAL.frmNoter.014",        "Q7.PUB.PORTAL.frmNoter.015",
    "Q7.PUB.PORTAL0078",                 "Q7.PUB.PORTAL0079",
    "Q7.PUB.PORTAL0080",                 "Q7.PUB.PORTAL0081",
    "Agendia.frmCalendarInfo.MemoGoneNotSaved",  "Agendia.frmCalendarInfo.SavedButNotListed",
    "Agendia.frmCalendarInfo.DeletedButNotListed", "Agendia.frmCalendarInfo.OneMemoLeftOut",
    "Agendia.frmCalendarInfo.MemosLeftOut",
    "Agendia.frmCalendarInfo.AnswerLost", "Agendia.frmCalendarInfo.AnswerLostNotListed",
    "Agendia.frmCalendarInfo.ListReadAgain", "Agendia.frmCalendarInfo.ListStillNotRead",
    "Agendia.frmCalendarInfo.MemoIdShared",
};

std::shared_ptr<ResourceService> ServiceOver(const std::string& directory) {
  auto factory = MakeFileResourceLibrary(directory)->CreateResourceFactory();
  EXPECT_TRUE(factory.ok()) << factory.status().description();
  EXPECT_TRUE((*factory)->Initialize(0).ok());
  auto service = (*factory)->GetResourceService();
  EXPECT_TRUE(service.ok());
  return *service;
}

std::string Text(ResourceService& service, const std::string& key, const std::string& language) {
  auto text = service.GetString(key, language);
  EXPECT_TRUE(text.ok()) << text.status().description();
  return text.ok() ? *text : std::string();
}

TEST(ShippedTexts, EveryKeyHasItsOwnTextInEveryLanguage) {
  auto service = ServiceOver(AGENDIA_TEST_RESOURCE_DIR);
  for (const char* language : {"zh-cn", "zh-tw", "en-us"}) {
    for (const char* key : kAllKeys) {
      SCOPED_TRACE(std::string(language) + " " + key);
      std::string text = Text(*service, key, language);
      EXPECT_FALSE(text.empty());
      EXPECT_NE(text, key);
    }
  }
}

TEST(ShippedTexts, DeleteAndSaveKeepTheirMnemonicsInEveryLanguage) {
  auto service = ServiceOver(AGENDIA_TEST_RESOURCE_DIR);
  for (const char* language : {"zh-cn", "zh-tw", "en-us"}) {
    SCOPED_TRACE(language);
    std::string del = Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.009", language);
    std::string save = Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.011", language);
    EXPECT_NE(del.find("&D"), std::string::npos) << del;
    EXPECT_NE(save.find("&S"), std::string::npos) << save;
  }
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.009", "zh-cn"), "删除(&D)");
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.011", "zh-cn"), "保存(&S)");
}

TEST(ShippedTexts, SimplifiedChineseCaptionsAreTheDesignCaptionsWithAMnemonicOnEveryButton) {
  auto service = ServiceOver(AGENDIA_TEST_RESOURCE_DIR);
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.001", "zh-cn"), "日历信息管理");
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.002", "zh-cn"), "日历信息列表");
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.003", "zh-cn"), "提示日期：");
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.008", "zh-cn"), "增加(&A)");
  EXPECT_EQ(Text(*service, "Q7.PUB.PORTAL.frmCalendarInfo.012", "zh-cn"), "退出(&X)");
}

TEST(ResourceLookup, LanguageCodeIgnoresCaseAndUnknownLanguagesFallBackToEnglish) {
  auto service = ServiceOver(AGENDIA_TEST_RESOURCE_DIR);
  const std::string key = "Q7.PUB.PORTAL.frmNoter.012";
  EXPECT_EQ(Text(*service, key, "EN-US"), "Weekly");
  EXPECT_EQ(Text(*service, key, "fr-fr"), "Weekly");
  EXPECT_EQ(Text(*service, key, ""), "Weekly");
  EXPECT_EQ(Text(*service, key, "ZH-TW"), "每週");
}

TEST(ResourceLookup, UnknownKeyReturnsTheKeyItself) {
  auto service = ServiceOver(AGENDIA_TEST_RESOURCE_DIR);
  EXPECT_EQ(Text(*service, "No.Such.Key", "zh-cn"), "No.Such.Key");
}

TEST(ResourceLookup, KeepsTrailingSpacesAndLineBreakEscapes) {
  auto dir = std::filesystem::temp_directory_path() / "agendia-res-escape";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "en-us.txt") << "# comment\n\nA=Date: \nB=one\\ntwo\r\nC=a=b\n";
  auto service = ServiceOver(dir.string());
  EXPECT_EQ(Text(*service, "A", "en-us"), "Date: ");
  EXPECT_EQ(Text(*service, "B", "en-us"), "one\ntwo");
  EXPECT_EQ(Text(*service, "C", "en-us"), "a=b");
  std::filesystem::remove_all(dir);
}

TEST(ResourceLibraryFailures, MissingFolderFailsToCreateTheFactoryNamingTheFolder) {
  auto factory = MakeFileResourceLibrary("/nonexistent/agendia-resources")->CreateResourceFactory();
  ASSERT_FALSE(factory.ok());
  EXPECT_EQ(factory.status().code(), hr::kClassNotRegistered);
  EXPECT_NE(factory.status().description().find("/nonexistent/agendia-resources"), std::string::npos);
}

TEST(ResourceLibraryFailures, MissingLanguageFileFailsTheLookupNamingTheFile) {
  auto dir = std::filesystem::temp_directory_path() / "agendia-res-missing";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "zh-cn.txt") << "K=文本\n";
  auto service = ServiceOver(dir.string());
  EXPECT_EQ(Text(*service, "K", "zh-cn"), "文本");
  auto missing = service->GetString("K", "en-us");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.status().code(), hr::kFileNotFound);
  EXPECT_NE(missing.status().description().find((dir / "en-us.txt").string()), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(ResourceLibraryFailures, MalformedLineNamesFileAndLine) {
  auto dir = std::filesystem::temp_directory_path() / "agendia-res-bad";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "en-us.txt") << "A=ok\nthis line has no separator\n";
  auto service = ServiceOver(dir.string());
  auto text = service->GetString("A", "en-us");
  ASSERT_FALSE(text.ok());
  EXPECT_NE(text.status().description().find("line 2"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace agendia::resources
