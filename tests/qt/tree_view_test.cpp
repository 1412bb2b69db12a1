// The memo tree: adding, finding, expanding, failures, and node clicks.
#include "qt/qt_test_support.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

class QtTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = BuildForm(SampleFormSpec());
    ASSERT_TRUE(window_);
    tree_ = dynamic_cast<TreeView*>(window_->FindControl("tvInfo"));
    ASSERT_NE(tree_, nullptr);
  }

  void AddGroupsWithMemos() {
    for (const char* group : {"rtOne", "rtDay"}) {
      ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, group, group).ok());
    }
    ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "M1", "09:30 Stand-up").ok());
    ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "M2", "17:00 Report").ok());
  }

  QTreeView* View() { return ChildOf<QTreeView>(*window_, "tvInfo"); }

  std::unique_ptr<FormWindow> window_;
  TreeView* tree_ = nullptr;
};

TEST_F(QtTreeViewTest, AddsTopLevelNodesAndChildrenInOrder) {
  AddGroupsWithMemos();

  EXPECT_EQ(tree_->NodeCount(), 4);
  EXPECT_EQ(tree_->ChildKeys(std::nullopt), (std::vector<std::string>{"rtOne", "rtDay"}));
  EXPECT_EQ(tree_->ChildKeys("rtDay"), (std::vector<std::string>{"M1", "M2"}));
  const auto memo = tree_->FindNode("M2");
  ASSERT_TRUE(memo.has_value());
  EXPECT_EQ(memo->text, "17:00 Report");
  EXPECT_EQ(memo->parent_key, "rtDay");
  EXPECT_EQ(tree_->FindNode("rtOne")->parent_key, std::nullopt);
  EXPECT_EQ(tree_->FindNode("M3"), std::nullopt);
  EXPECT_TRUE(View()->isHeaderHidden());
  EXPECT_TRUE(View()->rootIsDecorated());
}

TEST_F(QtTreeViewTest, RefusesDuplicateKeysUnknownRelativesAndOtherRelationships) {
  AddGroupsWithMemos();
  struct Case {
    std::optional<std::string> relative;
    std::optional<int> relationship;
    std::string key;
    std::string description;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, "M1", "The tree already has a node with the key 'M1'"},
      {"rtWeek", kTreeChild, "M9", "The tree has no node with the key 'rtWeek' to add 'M9' to"},
      {"rtDay", 2, "M9", "The tree view supports only relationship 4 (child); got 2"},
      {"rtDay", std::nullopt, "M9", "The tree view supports only relationship 4 (child); got none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    const Status added = tree_->AddNode(c.relative, c.relationship, c.key, "x");
    EXPECT_EQ(added.code(), hr::kInvalidArg);
    EXPECT_EQ(added.description(), c.description);
  }
  EXPECT_EQ(tree_->NodeCount(), 4);
}

TEST_F(QtTreeViewTest, ExpandsByKeyAndFailsForAnUnknownKey) {
  AddGroupsWithMemos();

  ASSERT_TRUE(tree_->SetExpanded("rtDay", true).ok());

  EXPECT_TRUE(tree_->IsExpanded("rtDay"));
  EXPECT_FALSE(tree_->IsExpanded("rtOne"));
  EXPECT_TRUE(View()->isExpanded(View()->model()->index(1, 0)));
  const Status unknown = tree_->SetExpanded("rtYear", true);
  EXPECT_EQ(unknown.code(), hr::kInvalidArg);
  EXPECT_EQ(unknown.description(), "The tree has no node with the key 'rtYear'");
}

TEST_F(QtTreeViewTest, ClearRemovesEveryNodeAndKey) {
  AddGroupsWithMemos();
  tree_->Clear();
  EXPECT_EQ(tree_->NodeCount(), 0);
  EXPECT_EQ(tree_->FindNode("M1"), std::nullopt);
  EXPECT_EQ(View()->model()->rowCount(), 0);
  EXPECT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, "M1", "again").ok());
}

TEST_F(QtTreeViewTest, HoldsAHundredThousandNodesQuickly) {
  QElapsedTimer timer;
  timer.start();
  const std::string groups[] = {"rtOne", "rtDay", "rtWeek", "rtMonth"};
  for (const std::string& group : groups) {
    ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, group, group).ok());
  }
  for (int i = 0; i < 100000 - 4; ++i) {
    const std::string key = "M" + std::to_string(i);
    ASSERT_TRUE(tree_->AddNode(groups[i % 4], kTreeChild, key, key).ok());
  }
  ASSERT_TRUE(tree_->SetExpanded("rtWeek", true).ok());

  EXPECT_EQ(tree_->NodeCount(), 100000);
  EXPECT_EQ(tree_->FindNode("M99995")->parent_key, "rtMonth");
  EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(QtTreeViewTest, ReportsOneNodeClickPerMouseClickAndPerArrowKey) {
  AddGroupsWithMemos();
  ASSERT_TRUE(tree_->SetExpanded("rtDay", true).ok());
  std::vector<TreeNode> clicked;
  tree_->OnNodeClick([&clicked](const TreeNode& node) { clicked.push_back(node); });
  QDialog* dialog = DialogOf(*window_);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  QTreeView* view = View();
  const QModelIndex first_memo = view->model()->index(0, 0, view->model()->index(1, 0));

  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(first_memo).center());
  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0].key, "M1");
  EXPECT_EQ(clicked[0].parent_key, "rtDay");

  QTest::keyClick(view, Qt::Key_Down);
  ASSERT_EQ(clicked.size(), 2u);
  EXPECT_EQ(clicked[1].key, "M2");
  EXPECT_EQ(clicked[1].text, "17:00 Report");

  QTest::keyClick(view, Qt::Key_Up);
  QTest::keyClick(view, Qt::Key_Up);
  ASSERT_EQ(clicked.size(), 4u);
  EXPECT_EQ(clicked[3].key, "rtDay");
  EXPECT_EQ(clicked[3].parent_key, std::nullopt);
}

TEST_F(QtTreeViewTest, ChangesMadeByCodeReportNoClick) {
  AddGroupsWithMemos();
  int clicks = 0;
  tree_->OnNodeClick([&clicks](const TreeNode&) { ++clicks; });

  View()->setCurrentIndex(View()->model()->index(0, 0));
  tree_->Clear();

  EXPECT_EQ(clicks, 0);
}

}  // namespace
}  // namespace agendia::platform::testing
