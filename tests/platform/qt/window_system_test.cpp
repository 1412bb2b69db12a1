// The window system over real widgets: parents, enabling and owners.
#include "platform/qt/qt_test_support.h"

#include "platform/qt/qt_platform.h"

#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

WindowHandle HandleOf(QWidget& widget) { return static_cast<WindowHandle>(widget.winId()); }

class QtWindowSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    system_ = MakeQtWindowSystem();
    portal_ = std::make_unique<QWidget>();
    frame_ = new QWidget(portal_.get());
    view_ = new QWidget(frame_);
  }

  std::unique_ptr<WindowSystem> system_;
  std::unique_ptr<QWidget> portal_;
  QWidget* frame_ = nullptr;
  QWidget* view_ = nullptr;
};

TEST_F(QtWindowSystemTest, GetParentGivesTheDirectParentAndZeroAtTheTop) {
  EXPECT_EQ(system_->GetParent(HandleOf(*view_)), HandleOf(*frame_));
  EXPECT_EQ(system_->GetParent(HandleOf(*frame_)), HandleOf(*portal_));
  EXPECT_EQ(system_->GetParent(HandleOf(*portal_)), 0);
  EXPECT_EQ(system_->GetParent(0), 0);
  EXPECT_EQ(system_->GetParent(0x7ffffff0), 0);
}

TEST_F(QtWindowSystemTest, EnableWindowReportsWhetherTheWindowWasDisabled) {
  const WindowHandle portal = HandleOf(*portal_);
  EXPECT_FALSE(system_->EnableWindow(portal, false));
  EXPECT_FALSE(portal_->isEnabled());
  EXPECT_TRUE(system_->EnableWindow(portal, false));
  EXPECT_TRUE(system_->EnableWindow(portal, true));
  EXPECT_TRUE(portal_->isEnabled());
  EXPECT_FALSE(system_->EnableWindow(0, true));
  EXPECT_FALSE(system_->EnableWindow(0x7ffffff0, true));
}

TEST_F(QtWindowSystemTest, SetWindowOwnerMakesTheOwnersTopLevelWindowTheTransientParent) {
  auto window = BuildForm(SampleFormDesign());
  ASSERT_TRUE(window);
  QWidget other;
  const WindowHandle dialog = window->Handle();
  QWindow* native = DialogOf(*window)->windowHandle();
  ASSERT_NE(native, nullptr);

  EXPECT_EQ(system_->SetWindowOwner(dialog, HandleOf(*view_)), 0);
  EXPECT_EQ(native->transientParent(), portal_->windowHandle());

  EXPECT_EQ(system_->SetWindowOwner(dialog, HandleOf(other)), HandleOf(*portal_));
  EXPECT_EQ(native->transientParent(), other.windowHandle());

  EXPECT_EQ(system_->SetWindowOwner(dialog, 0), HandleOf(other));
  EXPECT_EQ(native->transientParent(), nullptr);
  EXPECT_EQ(system_->SetWindowOwner(0x7ffffff0, HandleOf(other)), 0);
}

}  // namespace
}  // namespace agendia::platform::testing
