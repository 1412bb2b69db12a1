#pragma once

// A Calender object over the memory platform, with the per-thread state of
// the module pub reset around every test.

#include "component/Calender.h"
#include "form/frmCalendarInfo.h"
#include "form/pub.h"
#include "platform/memory/memory_platform.h"
#include "resources/resource_library.h"

#include <agendia/calender.h>
#include <agendia/com_ptr.h>

#include <gtest/gtest.h>

#include <string>

namespace agendia::testing {

// The six texts of a CalenderDesign call.
struct DesignArgs {
  std::string conn = "Provider=SQLite;Data Source=:memory:";
  std::string user = "demo";
  std::string account = "001";
  std::string year = "2024";
  std::string day = "2024-03-01";
  std::string language = "en-us";

  Status CallOn(_Calender& calender) {
    return calender.CalenderDesign(&conn, &user, &account, &year, &day, &language);
  }
};

// The user context a window holds, for comparing with DesignArgs.
inline DesignArgs ContextOf(const frmCalendarInfo& window) {
  return DesignArgs{window.g_cConn, window.g_cUser, window.g_cAccId,
                    window.g_nYear, window.dayCurr, window.lanuage};
}

inline bool operator==(const DesignArgs& a, const DesignArgs& b) {
  return a.conn == b.conn && a.user == b.user && a.account == b.account && a.year == b.year &&
         a.day == b.day && a.language == b.language;
}

class CalenderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pub::g_bFormOpen = 0;
    pub::g_hPortal = 0;
    memory = platform::memory::MakeMemoryPlatform(
        resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR), platform::langid::kEnglishUS);
  }
  void TearDown() override {
    pub::g_bFormOpen = 0;
    pub::g_hPortal = 0;
  }

  ComPtr<Calender> NewCalender() { return Calender::Create(memory.platform); }

  // A chain of windows, top-level first: chain[i + 1] is a child of chain[i].
  std::vector<platform::WindowHandle> WindowChain(int depth) {
    std::vector<platform::WindowHandle> chain;
    platform::WindowHandle parent = 0;
    for (int i = 0; i < depth; ++i) chain.push_back(parent = memory.window_system->CreateWindow(parent));
    return chain;
  }

  platform::memory::MemoryPlatform memory;
};

}  // namespace agendia::testing
