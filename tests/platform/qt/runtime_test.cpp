// Starting Qt, and the system language from the process locale.
#include "platform/qt/qt_test_support.h"

#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace agendia::platform::testing {
namespace {

TEST(QtRuntimeDeathTest, RefusesToStartWithoutADisplayInsteadOfAborting) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) unsetenv(name);
        auto toolkit = MakeQtToolkit();
        auto lease = toolkit->AcquireRuntime();
        auto form = toolkit->CreateForm(SampleFormDesign());
        std::fprintf(stderr, "%s|%s", lease.status().description().c_str(),
                     form.status().description().c_str());
        std::exit(!lease.ok() && !form.ok() && QCoreApplication::instance() == nullptr ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "no display; run under xvfb-run or set QT_QPA_PLATFORM=offscreen\\|"
      "Cannot build a window: no QApplication is running");
}

TEST(QtRuntime, LeaseOnARunningApplicationLeavesItRunning) {
  EnsureApplication();
  QCoreApplication* running = QCoreApplication::instance();
  {
    auto lease = MakeQtToolkit()->AcquireRuntime();
    ASSERT_TRUE(lease.ok()) << lease.status().description();
  }
  EXPECT_EQ(QCoreApplication::instance(), running);
}

// Sets locale variables for one test and restores them afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* lc_all, const char* lc_messages, const char* lang) {
    for (int i = 0; i < 3; ++i) {
      const char* old = std::getenv(kNames[i]);
      saved_[i] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    Set(lc_all, lc_messages, lang);
  }
  ~LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) Assign(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
  }

 private:
  static void Assign(const char* name, const char* value) {
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  void Set(const char* a, const char* b, const char* c) {
    Assign(kNames[0], a);
    Assign(kNames[1], b);
    Assign(kNames[2], c);
  }
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[3];
};

TEST(QtSystemLanguage, FollowsLcAllThenLcMessagesThenLang) {
  struct Case {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    uint16_t expected;
  };
  const Case cases[] = {
      {"zh_CN.UTF-8", "zh_TW.UTF-8", "en_US.UTF-8", langid::kChineseSimplified},
      {nullptr, "zh_TW.UTF-8", "en_US.UTF-8", langid::kChineseTraditional},
      {"", "", "ja_JP.UTF-8", langid::kJapanese},
      {nullptr, nullptr, nullptr, 0},
  };
  auto language = MakeQtSystemLanguage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    LocaleEnvironment environment(c.lc_all, c.lc_messages, c.lang);
    EXPECT_EQ(language->GetSystemDefaultLangID(), c.expected);
  }
}

}  // namespace
}  // namespace agendia::platform::testing
