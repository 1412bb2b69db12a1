// The memo tree: adding, finding, expanding, failures, and node clicks.
#include "platform/qt/qt_test_support.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace agendia::platform::testing {
namespace {

class QtTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = BuildForm(SampleFormDesign());
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

  // Rebuilds the tree the way the window does: everything cleared, the
  // groups, their memos, then the given groups expanded.
  void Rebuild(const std::vector<std::string>& groups,
               const std::vector<std::pair<std::string, std::string>>& memos,
               const std::vector<std::string>& expand) {
    tree_->Clear();
    for (const std::string& group : groups) {
      ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, group, group).ok());
    }
    for (const auto& [group, key] : memos) {
      ASSERT_TRUE(tree_->AddNode(group, kTreeChild, key, "memo " + key).ok());
    }
    for (const std::string& group : expand) ASSERT_TRUE(tree_->SetExpanded(group, true).ok());
  }

  void ShowWindow() {
    QDialog* dialog = DialogOf(*window_);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  }

  // The view's index of the node with `key`, found through the view's model by
  // the text Rebuild gives it (the key for a group, "memo <key>" for a memo).
  QModelIndex ViewIndex(const std::string& key) {
    QAbstractItemModel* model = View()->model();
    std::vector<QModelIndex> pending{QModelIndex()};
    while (!pending.empty()) {
      const QModelIndex parent = pending.back();
      pending.pop_back();
      for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex child = model->index(row, 0, parent);
        if (child.data().toString().toStdString() == key ||
            child.data().toString().toStdString() == "memo " + key) {
          return child;
        }
        pending.push_back(child);
      }
    }
    return {};
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

TEST_F(QtTreeViewTest, ATitleWiderThanTheTreeScrollsSidewaysAndItsToolTipShowsItWhole) {
  const std::string title = "Call the supplier about the delayed order of printer cartridges";
  ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, "rtDay", "Daily").ok());
  ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "M1", title).ok());
  ASSERT_TRUE(tree_->SetExpanded("rtDay", true).ok());
  QCoreApplication::processEvents();  // the view takes a fill in once it is back in the loop
  const QModelIndex memo = View()->model()->index(0, 0, View()->model()->index(0, 0));
  EXPECT_EQ(memo.data(Qt::ToolTipRole).toString().toStdString(), title);
  EXPECT_EQ(memo.data(Qt::DisplayRole).toString().toStdString(), title);

  ShowWindow();
  QCoreApplication::processEvents();
  const int text_right = View()->visualRect(memo).left() +
                         View()->fontMetrics().horizontalAdvance(QString::fromStdString(title));
  EXPECT_GE(View()->columnWidth(0), text_right);
  EXPECT_GT(View()->horizontalScrollBar()->maximum(), 0);

  // Further down, out of view at first: the column widens when it is scrolled to.
  for (int n = 0; n < 200; ++n) {
    ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "S" + std::to_string(n), "short").ok());
  }
  const std::string longer = title + ", and the toner for the copier on the second floor";
  ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "M2", longer).ok());
  QCoreApplication::processEvents();
  const QModelIndex last = View()->model()->index(201, 0, View()->model()->index(0, 0));
  View()->scrollTo(last);
  QCoreApplication::processEvents();
  EXPECT_GE(View()->columnWidth(0),
            View()->visualRect(last).left() + View()->horizontalScrollBar()->value() +
                View()->fontMetrics().horizontalAdvance(QString::fromStdString(longer)));
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
  QCoreApplication::processEvents();
  EXPECT_TRUE(View()->isExpanded(View()->model()->index(1, 0)));
  EXPECT_FALSE(View()->isExpanded(View()->model()->index(0, 0)));
  EXPECT_TRUE(tree_->IsExpanded("rtDay"));
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

TEST_F(QtTreeViewTest, HoldsAHundredThousandNodes) {
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
  QCoreApplication::processEvents();
  EXPECT_EQ(View()->model()->rowCount(View()->model()->index(2, 0)), 25000 - 1);
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
  QCoreApplication::processEvents();  // the view takes the new nodes in
  int clicks = 0;
  tree_->OnNodeClick([&clicks](const TreeNode&) { ++clicks; });

  View()->setCurrentIndex(View()->model()->index(0, 0));
  ASSERT_TRUE(View()->currentIndex().isValid());
  tree_->Clear();

  EXPECT_EQ(clicks, 0);
}

TEST_F(QtTreeViewTest, AnswersQueriesFromTheNodesWhileAndAfterTheViewCatchesUp) {
  ShowWindow();
  Rebuild({"rtOne", "rtDay"}, {}, {"rtDay"});
  QCoreApplication::processEvents();

  // A second fill, with no return to the event loop in between.
  tree_->Clear();
  EXPECT_EQ(tree_->NodeCount(), 0);
  EXPECT_FALSE(tree_->IsExpanded("rtDay"));
  EXPECT_EQ(tree_->FindNode("rtDay"), std::nullopt);
  ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, "rtWeek", "Weekly").ok());
  ASSERT_TRUE(tree_->AddNode("rtWeek", kTreeChild, "M1", "09:30 Stand-up").ok());
  ASSERT_TRUE(tree_->AddNode("rtWeek", kTreeChild, "M2", "17:00 Report").ok());
  EXPECT_EQ(tree_->AddNode(std::nullopt, std::nullopt, "M1", "again").code(), hr::kInvalidArg);
  EXPECT_EQ(tree_->AddNode("rtDay", kTreeChild, "M3", "x").code(), hr::kInvalidArg);

  EXPECT_EQ(tree_->NodeCount(), 3);
  EXPECT_EQ(tree_->ChildKeys(std::nullopt), (std::vector<std::string>{"rtWeek"}));
  EXPECT_EQ(tree_->ChildKeys("rtWeek"), (std::vector<std::string>{"M1", "M2"}));
  EXPECT_EQ(tree_->FindNode("M2")->text, "17:00 Report");
  EXPECT_EQ(tree_->FindNode("M2")->parent_key, "rtWeek");
  EXPECT_FALSE(tree_->IsExpanded("rtWeek"));

  QCoreApplication::processEvents();

  QAbstractItemModel* model = View()->model();
  ASSERT_EQ(model->rowCount(), 1);
  const QModelIndex week = model->index(0, 0);
  EXPECT_EQ(week.data().toString(), "Weekly");
  ASSERT_EQ(model->rowCount(week), 2);
  EXPECT_EQ(model->index(1, 0, week).data().toString(), "17:00 Report");
  EXPECT_EQ(tree_->NodeCount(), 3);
  EXPECT_EQ(tree_->ChildKeys("rtWeek"), (std::vector<std::string>{"M1", "M2"}));
}

TEST_F(QtTreeViewTest, NodesAddedToAShownTreeReachTheViewAtOnce) {
  ShowWindow();
  AddGroupsWithMemos();
  ASSERT_TRUE(tree_->SetExpanded("rtDay", true).ok());
  QCoreApplication::processEvents();

  ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "M3", "18:00 Home").ok());

  const QModelIndex day = View()->model()->index(1, 0);
  ASSERT_EQ(View()->model()->rowCount(day), 3);
  EXPECT_EQ(View()->model()->index(2, 0, day).data().toString(), "18:00 Home");
  EXPECT_TRUE(tree_->IsExpanded("rtDay"));
  EXPECT_EQ(tree_->ChildKeys("rtDay"), (std::vector<std::string>{"M1", "M2", "M3"}));
}

TEST_F(QtTreeViewTest, ARebuildExpandsOnlyTheNodesItExpands) {
  ShowWindow();
  Rebuild({"rtOne", "rtDay", "rtWeek"}, {{"rtOne", "A1"}, {"rtDay", "D1"}, {"rtWeek", "W1"}},
          {"rtOne", "rtDay"});
  QCoreApplication::processEvents();
  ASSERT_TRUE(tree_->IsExpanded("rtOne"));

  Rebuild({"rtOne", "rtDay", "rtWeek"}, {{"rtOne", "A2"}, {"rtDay", "D2"}, {"rtWeek", "W2"}},
          {"rtWeek", "rtDay"});

  EXPECT_FALSE(tree_->IsExpanded("rtOne"));
  EXPECT_TRUE(tree_->IsExpanded("rtDay"));
  EXPECT_TRUE(tree_->IsExpanded("rtWeek"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(View()->isExpanded(ViewIndex("rtOne")));
  EXPECT_TRUE(View()->isExpanded(ViewIndex("rtDay")));
  EXPECT_TRUE(View()->isExpanded(ViewIndex("rtWeek")));
  EXPECT_FALSE(tree_->IsExpanded("rtOne"));
  EXPECT_TRUE(tree_->IsExpanded("rtWeek"));
}

TEST_F(QtTreeViewTest, AClickAfterARebuildReportsTheNewNode) {
  std::vector<TreeNode> clicked;
  tree_->OnNodeClick([&clicked](const TreeNode& node) { clicked.push_back(node); });
  ShowWindow();
  Rebuild({"rtOne", "rtDay"}, {{"rtOne", "A1"}, {"rtDay", "D1"}, {"rtDay", "D2"}},
          {"rtOne", "rtDay"});
  QCoreApplication::processEvents();

  Rebuild({"rtOne", "rtDay"}, {{"rtDay", "D7"}, {"rtDay", "D8"}, {"rtOne", "A9"}},
          {"rtOne", "rtDay"});
  QCoreApplication::processEvents();
  QTreeView* view = View();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(ViewIndex("D8")).center());

  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0].key, "D8");
  EXPECT_EQ(clicked[0].text, "memo D8");
  EXPECT_EQ(clicked[0].parent_key, "rtDay");
}

TEST_F(QtTreeViewTest, AClickBeforeTheViewCaughtUpHitsTheNewNodes) {
  std::vector<TreeNode> clicked;
  tree_->OnNodeClick([&clicked](const TreeNode& node) { clicked.push_back(node); });
  ShowWindow();
  Rebuild({"rtOne", "rtDay"}, {}, {});
  QCoreApplication::processEvents();
  const QPoint first_row = View()->visualRect(View()->model()->index(0, 0)).center();

  // A new fill, then a click on the first row before control returns to the
  // event loop: the view takes the new nodes in before it handles the click.
  Rebuild({"rtWeek", "rtMonth"}, {{"rtWeek", "W1"}}, {});
  QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, first_row);

  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0].key, "rtWeek");
  EXPECT_EQ(View()->model()->rowCount(), 2);
}

TEST_F(QtTreeViewTest, ARebuildLeavesNoSelectionOrCurrentNodeBehind) {
  int clicks = 0;
  tree_->OnNodeClick([&clicks](const TreeNode&) { ++clicks; });
  ShowWindow();
  Rebuild({"rtOne", "rtDay"}, {{"rtDay", "D1"}, {"rtDay", "D2"}}, {"rtDay"});
  QCoreApplication::processEvents();
  QTreeView* view = View();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(ViewIndex("D2")).center());
  ASSERT_EQ(clicks, 1);
  ASSERT_TRUE(view->selectionModel()->hasSelection());

  Rebuild({"rtOne", "rtDay"}, {{"rtDay", "D3"}, {"rtDay", "D4"}}, {});
  QCoreApplication::processEvents();

  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(view->currentIndex().isValid());
  EXPECT_FALSE(view->selectionModel()->hasSelection());
  EXPECT_FALSE(tree_->IsExpanded("rtDay"));
  EXPECT_FALSE(view->isExpanded(ViewIndex("rtDay")));
  EXPECT_EQ(tree_->ChildKeys("rtDay"), (std::vector<std::string>{"D3", "D4"}));
  // The keyboard starts from the top again: the first arrow selects the first node.
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(view->currentIndex().isValid());
}

TEST_F(QtTreeViewTest, AFillStoppedByADuplicateKeyKeepsTheNodesAddedBeforeIt) {
  ShowWindow();
  tree_->Clear();
  for (const char* group : {"rtOne", "rtDay"}) {
    ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, group, group).ok());
  }
  ASSERT_TRUE(tree_->AddNode("rtDay", kTreeChild, "D1", "memo D1").ok());
  ASSERT_TRUE(tree_->AddNode("rtOne", kTreeChild, "A1", "memo A1").ok());
  // A memo whose identifier is a group's key, then one already listed.
  EXPECT_EQ(tree_->AddNode("rtDay", kTreeChild, "rtOne", "memo clash").code(), hr::kInvalidArg);
  EXPECT_EQ(tree_->AddNode("rtOne", kTreeChild, "D1", "memo again").code(), hr::kInvalidArg);

  EXPECT_EQ(tree_->NodeCount(), 4);
  EXPECT_EQ(tree_->ChildKeys("rtDay"), (std::vector<std::string>{"D1"}));
  EXPECT_EQ(tree_->ChildKeys("rtOne"), (std::vector<std::string>{"A1"}));
  EXPECT_EQ(tree_->FindNode("D1")->text, "memo D1");
  EXPECT_EQ(tree_->FindNode("rtOne")->parent_key, std::nullopt);
  EXPECT_FALSE(tree_->IsExpanded("rtDay"));

  // Shown as it stands, groups collapsed, once the view catches up.
  QCoreApplication::processEvents();
  QAbstractItemModel* model = View()->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->rowCount(model->index(0, 0)), 1);
  EXPECT_EQ(model->rowCount(model->index(1, 0)), 1);
  EXPECT_EQ(model->index(0, 0, model->index(1, 0)).data().toString(), "memo D1");
  EXPECT_FALSE(View()->isExpanded(model->index(1, 0)));
}

TEST_F(QtTreeViewTest, ARebuildOfAnOpenWindowListsEachGroupsOwnChildrenOnly) {
  ShowWindow();
  Rebuild({"rtOne", "rtDay", "rtWeek"},
          {{"rtOne", "A1"}, {"rtOne", "A2"}, {"rtWeek", "W1"}, {"rtDay", "D1"}}, {"rtOne"});
  QCoreApplication::processEvents();
  ASSERT_EQ(tree_->ChildKeys("rtOne"), (std::vector<std::string>{"A1", "A2"}));

  // The second fill gives the groups other children, and one memo a child of
  // its own; the child lists of the first fill are reused, never mixed up.
  Rebuild({"rtOne", "rtDay", "rtWeek"}, {{"rtWeek", "W7"}, {"rtDay", "D7"}, {"rtWeek", "W8"}},
          {"rtWeek", "rtDay"});
  ASSERT_TRUE(tree_->AddNode("W8", kTreeChild, "N1", "memo N1").ok());

  EXPECT_EQ(tree_->ChildKeys("rtOne"), (std::vector<std::string>{}));
  EXPECT_EQ(tree_->ChildKeys("rtDay"), (std::vector<std::string>{"D7"}));
  EXPECT_EQ(tree_->ChildKeys("rtWeek"), (std::vector<std::string>{"W7", "W8"}));
  EXPECT_EQ(tree_->ChildKeys("W8"), (std::vector<std::string>{"N1"}));
  EXPECT_EQ(tree_->ChildKeys("W7"), (std::vector<std::string>{}));
  EXPECT_EQ(tree_->FindNode("A1"), std::nullopt);
  EXPECT_EQ(tree_->FindNode("N1")->parent_key, "W8");

  QCoreApplication::processEvents();
  QAbstractItemModel* model = View()->model();
  const QModelIndex week = ViewIndex("rtWeek");
  EXPECT_EQ(model->rowCount(ViewIndex("rtOne")), 0);
  EXPECT_FALSE(model->hasChildren(ViewIndex("rtOne")));
  ASSERT_EQ(model->rowCount(week), 2);
  EXPECT_EQ(model->parent(ViewIndex("W8")), week);
  EXPECT_EQ(ViewIndex("W8").row(), 1);
  EXPECT_EQ(model->rowCount(ViewIndex("W8")), 1);
  EXPECT_TRUE(View()->isExpanded(week));
  EXPECT_FALSE(View()->isExpanded(ViewIndex("rtOne")));
}

// Only nodes with children keep their parent; the others are found in the
// child lists, and the view's indexes carry their parent.
TEST_F(QtTreeViewTest, EveryNodeKnowsItsParentAtEveryDepth) {
  ShowWindow();
  Rebuild({"rtOne", "rtDay"}, {{"rtDay", "D1"}, {"rtOne", "A1"}, {"rtDay", "D2"}}, {"rtDay"});
  ASSERT_TRUE(tree_->AddNode("D2", kTreeChild, "N1", "memo N1").ok());
  ASSERT_TRUE(tree_->AddNode("N1", kTreeChild, "L1", "memo L1").ok());
  ASSERT_TRUE(tree_->SetExpanded("D2", true).ok());
  ASSERT_TRUE(tree_->SetExpanded("N1", true).ok());

  const std::vector<std::pair<std::string, std::optional<std::string>>> parents = {
      {"rtOne", std::nullopt}, {"rtDay", std::nullopt}, {"D1", "rtDay"}, {"A1", "rtOne"},
      {"D2", "rtDay"},         {"N1", "D2"},            {"L1", "N1"}};
  QCoreApplication::processEvents();
  QAbstractItemModel* model = View()->model();
  for (const auto& [key, parent] : parents) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(tree_->FindNode(key).has_value());
    EXPECT_EQ(tree_->FindNode(key)->parent_key, parent);
    const QModelIndex index = ViewIndex(key);
    ASSERT_TRUE(index.isValid());
    EXPECT_EQ(model->parent(index), parent ? ViewIndex(*parent) : QModelIndex());
    EXPECT_EQ(model->index(index.row(), 0, model->parent(index)), index);
  }
  EXPECT_TRUE(View()->isExpanded(ViewIndex("N1")));
}

TEST_F(QtTreeViewTest, HoldsAMillionNodes) {
  const std::string groups[] = {"rtOne", "rtDay", "rtWeek", "rtMonth", "rtQuarter", "rtYear"};
  for (const std::string& group : groups) {
    ASSERT_TRUE(tree_->AddNode(std::nullopt, std::nullopt, group, group).ok());
  }
  constexpr int kMemos = 1'000'000;
  std::string key;
  for (int i = 0; i < kMemos; ++i) {
    key = "0000" + std::to_string(i) + "-4A2B-8C3D-9E4F5A6B7C8D";
    const Status added = tree_->AddNode(groups[i % 6], kTreeChild, key, "Memo " + std::to_string(i));
    if (!added.ok()) FAIL() << i << ": " << added.description();
  }
  EXPECT_EQ(tree_->AddNode("rtDay", kTreeChild, "00004242-4A2B-8C3D-9E4F5A6B7C8D", "again").code(),
            hr::kInvalidArg);
  for (const std::string& group : groups) ASSERT_TRUE(tree_->SetExpanded(group, true).ok());

  EXPECT_EQ(tree_->NodeCount(), kMemos + 6);
  constexpr int kLastGroup = (kMemos - 1) % 6;
  constexpr int kInLastGroup = (kMemos - 1 - kLastGroup) / 6 + 1;
  const auto last = tree_->FindNode("0000999999-4A2B-8C3D-9E4F5A6B7C8D");
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->text, "Memo 999999");
  EXPECT_EQ(last->parent_key, groups[kLastGroup]);
  EXPECT_EQ(tree_->FindNode("00000-4A2B-8C3D-9E4F5A6B7C8D")->parent_key, "rtOne");
  EXPECT_TRUE(tree_->IsExpanded("rtYear"));

  QCoreApplication::processEvents();
  QAbstractItemModel* model = View()->model();
  const QModelIndex group = model->index(kLastGroup, 0);
  ASSERT_EQ(model->rowCount(group), kInLastGroup);
  const QModelIndex memo = model->index(kInLastGroup - 1, 0, group);
  EXPECT_EQ(memo.data().toString(), "Memo 999999");
  EXPECT_EQ(model->parent(memo), group);
  EXPECT_TRUE(View()->isExpanded(group));
}

}  // namespace
}  // namespace agendia::platform::testing
