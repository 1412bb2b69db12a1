#include "platform/control_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace agendia::platform {
namespace {

class NamedControl final : public Control {
 public:
  explicit NamedControl(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  ControlKind Kind() const override { return ControlKind::kLabel; }
  ControlFont* Font() override { return nullptr; }
  std::string AccessibleName() const override { return {}; }
  void SetAccessibleName(const std::string& /*name*/) override {}

 private:
  std::string name_;
};

std::vector<std::unique_ptr<NamedControl>> Controls(const std::vector<std::string>& names) {
  std::vector<std::unique_ptr<NamedControl>> controls;
  for (const auto& name : names) controls.push_back(std::make_unique<NamedControl>(name));
  return controls;
}

TEST(ControlList, GivesTheControlAtAnIndexInsideTheCollectionOnly) {
  const auto controls = Controls({"lblTitle", "txtTitle", "btnSave"});
  const struct {
    int index;
    NamedControl* expected;
  } cases[] = {{-1, nullptr}, {0, controls[0].get()}, {2, controls[2].get()}, {3, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(ControlAtIndex(controls, c.index), c.expected);
  }
  EXPECT_EQ(ControlAtIndex(Controls({}), 0), nullptr);
}

TEST(ControlList, FindsTheFirstControlWithExactlyThatName) {
  const auto controls = Controls({"txtTitle", "btnSave", "txtTitle"});
  EXPECT_EQ(ControlNamed(controls, "btnSave"), controls[1].get());
  EXPECT_EQ(ControlNamed(controls, "txtTitle"), controls[0].get());
  EXPECT_EQ(ControlNamed(controls, "btnsave"), nullptr);
  EXPECT_EQ(ControlNamed(controls, ""), nullptr);
}

}  // namespace
}  // namespace agendia::platform
