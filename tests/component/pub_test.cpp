// The module pub: per-thread state and SetWindowOwner.

#include "component/calender_fixture.h"
#include "form/pub_variant.h"

#include <thread>

namespace agendia::testing {
namespace {

class PubTest : public CalenderFixture {};

TEST_F(PubTest, EveryThreadStartsWithItsOwnZeroedState) {
  pub::g_bFormOpen = -1;
  pub::g_hPortal = 0x1234;
  int16_t seen_flag = 99;
  platform::WindowHandle seen_portal = 99;
  std::thread([&] {
    seen_flag = pub::g_bFormOpen;
    seen_portal = pub::g_hPortal;
    pub::g_bFormOpen = -1;
    pub::g_hPortal = 0x5678;
  }).join();
  EXPECT_EQ(seen_flag, 0);
  EXPECT_EQ(seen_portal, 0);
  EXPECT_EQ(pub::g_hPortal, 0x1234);
}

TEST_F(PubTest, AnObjectCalledOnAnotherThreadSetsThatThreadsPortal) {
  auto chain = WindowChain(2);
  auto calender = NewCalender();
  platform::WindowHandle portal_on_thread = 0;
  std::thread([&] {
    calender->put_PortHwnd(chain[1]).IgnoreError();
    portal_on_thread = pub::g_hPortal;
  }).join();
  EXPECT_EQ(portal_on_thread, chain[0]);
  EXPECT_EQ(pub::g_hPortal, 0);
}

TEST_F(PubTest, AWindowOpenOnOneThreadDoesNotBlockAnotherThread) {
  auto calender = NewCalender();
  Status other_thread = Status::Fail("not called");
  int forms_on_other_thread = -1;
  memory.toolkit->while_shown = [&](platform::memory::MemoryFormWindow&) {
    std::thread([&] {
      // Its own platform: the memory doubles serve one thread each.
      auto other = platform::memory::MakeMemoryPlatform(
          resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR));
      auto calender_there = Calender::Create(other.platform);
      other_thread = DesignArgs{}.CallOn(*calender_there);
      forms_on_other_thread = other.toolkit->forms_created;
    }).join();
  };
  ASSERT_TRUE(DesignArgs{}.CallOn(*calender).ok());
  EXPECT_TRUE(other_thread.ok()) << other_thread.description();
  EXPECT_EQ(forms_on_other_thread, 1);
}

TEST_F(PubTest, SetWindowOwnerSetsTheOwnerAndReturnsThePreviousOne) {
  auto windows = WindowChain(1);
  auto owner_a = memory.window_system->CreateWindow();
  auto owner_b = memory.window_system->CreateWindow();
  EXPECT_EQ(pub::SetWindowOwner(*memory.window_system, windows[0], owner_a), 0);
  EXPECT_EQ(pub::SetWindowOwner(*memory.window_system, windows[0], owner_b), owner_a);
  EXPECT_EQ(memory.window_system->OwnerOf(windows[0]), owner_b);
}

TEST_F(PubTest, SetWindowOwnerConvertsUntypedValuesToIntegers) {
  auto window = memory.window_system->CreateWindow();
  auto owner = memory.window_system->CreateWindow();
  struct Case {
    const char* name;
    Variant window;
    Variant owner;
  };
  const Case cases[] = {
      {"32-bit integers", Variant::I4(window), Variant::I4(owner)},
      {"texts", Variant::String(std::to_string(window)), Variant::String(std::to_string(owner))},
      {"empty owner removes it", Variant::I4(window), Variant()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    memory.window_system->SetWindowOwner(window, 0x42);
    StatusOr<int32_t> previous = pub::SetWindowOwner(*memory.window_system, c.window, c.owner);
    ASSERT_TRUE(previous.ok()) << previous.status().description();
    EXPECT_EQ(*previous, 0x42);
    EXPECT_EQ(memory.window_system->OwnerOf(window), *c.owner.ToInt32());
  }
}

TEST_F(PubTest, SetWindowOwnerWithAValueThatIsNoNumberChangesNothing) {
  auto window = memory.window_system->CreateWindow();
  memory.window_system->SetWindowOwner(window, 0x42);
  const int calls_before = memory.window_system->set_owner_calls;
  StatusOr<int32_t> result = pub::SetWindowOwner(*memory.window_system, Variant::I4(window),
                                                 Variant::String("portal"));
  EXPECT_EQ(result.status().code(), hr::kTypeMismatch);
  EXPECT_NE(result.status().description().find("portal"), std::string::npos);
  EXPECT_EQ(memory.window_system->set_owner_calls, calls_before);
  EXPECT_EQ(memory.window_system->OwnerOf(window), 0x42);
}

}  // namespace
}  // namespace agendia::testing
