// The interval list: adding never selects, selection by exact text.
#include "platform/qt/qt_test_support.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

class QtComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = BuildForm(SampleFormDesign());
    ASSERT_TRUE(window_);
    combo_ = dynamic_cast<ComboBox*>(window_->FindControl("cboIntrval"));
    ASSERT_NE(combo_, nullptr);
    for (const char* item : {"Once", "Daily", "Weekly"}) combo_->AddItem(item);
  }

  std::unique_ptr<FormWindow> window_;
  ComboBox* combo_ = nullptr;
};

TEST_F(QtComboBoxTest, AddingItemsSelectsNone) {
  EXPECT_EQ(combo_->ListCount(), 3);
  EXPECT_EQ(combo_->ListIndex(), -1);
  EXPECT_EQ(combo_->Text(), "");
  EXPECT_EQ(ChildOf<QComboBox>(*window_, "cboIntrval")->currentIndex(), -1);
  EXPECT_FALSE(ChildOf<QComboBox>(*window_, "cboIntrval")->isEditable());
}

TEST_F(QtComboBoxTest, AddingKeepsAnExistingSelection) {
  combo_->SetText("Daily");
  combo_->AddItem("Monthly");
  EXPECT_EQ(combo_->ListIndex(), 1);
}

TEST_F(QtComboBoxTest, SetTextSelectsTheItemWithExactlyThatText) {
  combo_->SetText("Weekly");
  EXPECT_EQ(combo_->ListIndex(), 2);
  EXPECT_EQ(combo_->Text(), "Weekly");

  combo_->SetText("weekly");
  EXPECT_EQ(combo_->ListIndex(), -1);
  EXPECT_EQ(combo_->Text(), "");
}

TEST_F(QtComboBoxTest, ListGivesItemTextsAndFailsOutsideTheList) {
  EXPECT_EQ(combo_->List(1).value(), "Daily");
  for (int index : {-1, 3}) {
    SCOPED_TRACE(index);
    const auto item = combo_->List(index);
    ASSERT_FALSE(item.ok());
    EXPECT_EQ(item.status().code(), hr::kInvalidArg);
    EXPECT_EQ(item.status().description(),
              "The combo box 'cboIntrval' has no item at position " + std::to_string(index));
  }
}

TEST_F(QtComboBoxTest, ClearEmptiesTheListAndTheSelection) {
  combo_->SetText("Once");
  combo_->Clear();
  EXPECT_EQ(combo_->ListCount(), 0);
  EXPECT_EQ(combo_->ListIndex(), -1);
  combo_->AddItem("Yearly");
  EXPECT_EQ(combo_->ListIndex(), -1);
}

}  // namespace
}  // namespace agendia::platform::testing
