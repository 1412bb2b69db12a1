// PortHwnd, GetPortalHwnd and PortalEnabled: the portal window of the thread.

#include "component/calender_fixture.h"

namespace agendia::testing {
namespace {

class PortalWindowTest : public CalenderFixture {};

TEST_F(PortalWindowTest, PortHwndOfAChildStoresItsParentNotTheChildItself) {
  auto chain = WindowChain(2);
  auto calender = NewCalender();
  ASSERT_TRUE(calender->put_PortHwnd(chain[1]).ok());
  EXPECT_EQ(pub::g_hPortal, chain[0]);
}

TEST_F(PortalWindowTest, PortHwndOfATopLevelWindowStoresNoPortal) {
  auto chain = WindowChain(1);
  pub::g_hPortal = 0x77;
  auto calender = NewCalender();
  ASSERT_TRUE(calender->put_PortHwnd(chain[0]).ok());
  EXPECT_EQ(pub::g_hPortal, 0);
}

TEST_F(PortalWindowTest, PortHwndZeroLeavesThePortalUnchanged) {
  auto chain = WindowChain(2);
  auto calender = NewCalender();
  ASSERT_TRUE(calender->put_PortHwnd(chain[1]).ok());
  ASSERT_TRUE(calender->put_PortHwnd(0).ok());
  EXPECT_EQ(pub::g_hPortal, chain[0]);
}

TEST_F(PortalWindowTest, GetPortalHwndReturnsAndStoresTheTopMostAncestor) {
  struct Case {
    const char* name;
    int depth;  // windows in the chain; 0: vData is 0
    int expected_index;  // index in the chain of the result; -1: 0
  };
  const Case cases[] = {
      {"no window", 0, -1},
      {"top-level window", 1, -1},
      {"child of a top-level window", 2, 0},
      {"three levels deep", 3, 0},
      {"five levels deep", 5, 0},
  };
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto chain = WindowChain(c.depth);
    platform::WindowHandle vData = c.depth == 0 ? 0 : chain.back();
    platform::WindowHandle expected = c.expected_index < 0 ? 0 : chain[c.expected_index];
    pub::g_hPortal = 0x77;  // overwritten in every case, also by 0
    int32_t result = -1;
    ASSERT_TRUE(calender->GetPortalHwnd(vData, &result).ok());
    EXPECT_EQ(result, expected);
    EXPECT_EQ(pub::g_hPortal, expected);
  }
}

TEST_F(PortalWindowTest, GetPortalHwndWithoutAResultPointerFailsWithEPointer) {
  auto calender = NewCalender();
  Status status = calender->GetPortalHwnd(0, nullptr);
  EXPECT_EQ(status.code(), hr::kPointer);
  EXPECT_NE(status.description().find("result"), std::string::npos) << status.description();
}

TEST_F(PortalWindowTest, PortalEnabledReadsFalseBeforeAnyWrite) {
  auto calender = NewCalender();
  int16_t enabled = 123;
  ASSERT_TRUE(calender->get_PortalEnabled(&enabled).ok());
  EXPECT_EQ(enabled, 0);
}

TEST_F(PortalWindowTest, PortalEnabledWriteEnablesAndDisablesThePortalWindow) {
  auto chain = WindowChain(2);
  auto calender = NewCalender();
  int32_t portal = 0;
  ASSERT_TRUE(calender->GetPortalHwnd(chain[1], &portal).ok());

  ASSERT_TRUE(calender->put_PortalEnabled(0).ok());
  EXPECT_FALSE(memory.window_system->IsEnabled(chain[0]));
  ASSERT_TRUE(calender->put_PortalEnabled(-1).ok());
  EXPECT_TRUE(memory.window_system->IsEnabled(chain[0]));

  ASSERT_EQ(memory.window_system->enable_calls.size(), 2u);
  EXPECT_EQ(memory.window_system->enable_calls[0].window, chain[0]);
  EXPECT_FALSE(memory.window_system->enable_calls[0].enable);
  EXPECT_EQ(memory.window_system->enable_calls[1].window, chain[0]);
  EXPECT_TRUE(memory.window_system->enable_calls[1].enable);
}

TEST_F(PortalWindowTest, PortalEnabledReadsBackTheLastWriteAsMinusOneOrZero) {
  struct Case {
    int16_t written;
    int16_t read;
  };
  const Case cases[] = {{-1, -1}, {0, 0}, {1, -1}, {0, 0}};
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    ASSERT_TRUE(calender->put_PortalEnabled(c.written).ok());
    int16_t enabled = 123;
    ASSERT_TRUE(calender->get_PortalEnabled(&enabled).ok());
    EXPECT_EQ(enabled, c.read);
  }
}

TEST_F(PortalWindowTest, PortalEnabledWithoutAPortalStillStoresTheValue) {
  auto calender = NewCalender();
  ASSERT_EQ(pub::g_hPortal, 0);
  ASSERT_TRUE(calender->put_PortalEnabled(-1).ok());
  int16_t enabled = 0;
  ASSERT_TRUE(calender->get_PortalEnabled(&enabled).ok());
  EXPECT_EQ(enabled, -1);
  ASSERT_EQ(memory.window_system->enable_calls.size(), 1u);
  EXPECT_EQ(memory.window_system->enable_calls[0].window, 0);
}

TEST_F(PortalWindowTest, PortalEnabledValueBelongsToTheObjectNotTheThread) {
  auto first = NewCalender();
  auto second = NewCalender();
  ASSERT_TRUE(first->put_PortalEnabled(-1).ok());
  int16_t enabled = 123;
  ASSERT_TRUE(second->get_PortalEnabled(&enabled).ok());
  EXPECT_EQ(enabled, 0);
}

TEST_F(PortalWindowTest, PortalEnabledReadWithoutAResultPointerFailsWithEPointer) {
  auto calender = NewCalender();
  EXPECT_EQ(calender->get_PortalEnabled(nullptr).code(), hr::kPointer);
}

// A window system whose every call throws, as a failing platform might.
class ThrowingWindowSystem final : public platform::WindowSystem {
 public:
  explicit ThrowingWindowSystem(bool out_of_memory) : out_of_memory_(out_of_memory) {}
  platform::WindowHandle GetParent(platform::WindowHandle) override { Throw(); return 0; }
  bool EnableWindow(platform::WindowHandle, bool) override { Throw(); return false; }
  platform::WindowHandle SetWindowOwner(platform::WindowHandle, platform::WindowHandle) override {
    Throw();
    return 0;
  }

 private:
  void Throw() {
    if (out_of_memory_) throw std::bad_alloc();
    throw std::runtime_error("window system gone");
  }
  bool out_of_memory_;
};

TEST_F(PortalWindowTest, FailuresInsideAMemberReturnAsStatusInsteadOfThrowing) {
  struct Case {
    bool out_of_memory;
    int32_t code;
    const char* description_part;
  };
  const Case cases[] = {{false, hr::kFail, "window system gone"},
                        {true, hr::kOutOfMemory, "Out of memory"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description_part);
    memory.platform->window_system = std::make_shared<ThrowingWindowSystem>(c.out_of_memory);
    auto calender = NewCalender();
    int32_t portal = 0;
    for (Status status : {calender->put_PortHwnd(5), calender->GetPortalHwnd(5, &portal),
                          calender->put_PortalEnabled(-1)}) {
      EXPECT_EQ(status.code(), c.code);
      EXPECT_NE(status.description().find(c.description_part), std::string::npos)
          << status.description();
    }
  }
}

}  // namespace
}  // namespace agendia::testing
