// Whatever fails inside an event handler of the window is shown to the user
// and never leaves the handler: the toolkit's event loop and the host see
// nothing of it.

#include "support/window_fixture.h"

#include <stdexcept>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

// A window system that fails the way a broken one could: by throwing.
class ThrowingOwnerWindowSystem final : public platform::WindowSystem {
 public:
  platform::WindowHandle GetParent(platform::WindowHandle) override { return 0; }
  bool EnableWindow(platform::WindowHandle, bool) override { return true; }
  platform::WindowHandle SetWindowOwner(platform::WindowHandle, platform::WindowHandle) override {
    throw std::runtime_error("owner refused");
  }
};

class HandlerGuardTest : public WindowFixture {};

TEST_F(HandlerGuardTest, AnActivationThatThrowsIsShownAndTheWindowStaysOpen) {
  memory.platform->window_system = std::make_shared<ThrowingOwnerWindowSystem>();
  pub::g_hPortal = 0x4242;
  bool usable = false;
  Status opened = Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
    w.Activate();
    usable = w.Button("btnAdd")->Click() && w.Button("btnSave")->Enabled();
  });
  ASSERT_TRUE(opened.ok()) << opened.description();
  EXPECT_TRUE(usable);
  const auto texts = MessageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Form_Activate: owner refused(-2147467259)");
}

TEST_F(HandlerGuardTest, AMessageBoxThatFailsItselfDoesNotTakeTheWindowDown) {
  memory.toolkit->on_message_box = [](const auto&) { throw std::runtime_error("no display"); };
  bool still_usable = false;
  Status opened = Open(UserContext{}, [&](MemoryFormWindow& w, frmCalendarInfo&) {
    ASSERT_TRUE(w.Button("btnAdd")->Click());
    ASSERT_TRUE(w.Button("btnSave")->Click());  // its message cannot be shown
    w.Edit("txtHour")->TypeText("9");
    still_usable = w.Edit("txtHour")->Text() == "9" && w.Button("btnSave")->Enabled();
  });
  ASSERT_TRUE(opened.ok()) << opened.description();
  EXPECT_TRUE(still_usable);
}

}  // namespace
}  // namespace agendia::testing
