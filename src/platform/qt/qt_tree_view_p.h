#pragma once

#include "platform/qt/qt_control_base_p.h"
#include "platform/qt/qt_tree_model_p.h"

#include <QPointer>
#include <QTreeView>

#include <functional>

namespace agendia::platform::qt {

// A QTreeView that reports each user selection of a node once: a mouse click
// through `clicked`, a move of the current node by the keyboard (arrows, type
// to search) through currentChanged while a key is being handled, and Enter
// on the current node, which a click would report. Changes made by code
// report nothing.
//
// Before it handles an event that needs the nodes (paint, input, focus) the
// view ends an open batch of its model, so that it never paints, hit-tests or
// selects against a tree it has not been shown yet. Expansions recorded during
// the batch are applied as the batch ends.
class NodeTreeView final : public QTreeView {
  Q_OBJECT

 public:
  explicit NodeTreeView(QWidget* parent);

  NodeModel* nodes() const { return model_; }
  std::function<void(int node_id)> on_node_selected;

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void Report(const QModelIndex& index);
  static bool NeedsNodes(const QEvent& event);

  NodeModel* model_ = nullptr;
  bool handling_key_ = false;
  bool sized_to_contents_ = false;
};

// VXTreeView over a NodeTreeView.
class QtTreeView final : public QtControlBase, public TreeView {
 public:
  QtTreeView(const ControlDesign& design, NodeTreeView* view);

  void Clear() override;
  Status AddNode(const std::optional<std::string>& relative, std::optional<int> relationship,
                 const std::string& key, const std::string& text) override;
  std::optional<TreeNode> FindNode(const std::string& key) const override;
  Status SetExpanded(const std::string& key, bool expanded) override;
  bool IsExpanded(const std::string& key) const override;
  int NodeCount() const override;
  std::vector<std::string> ChildKeys(const std::optional<std::string>& parent_key) const override;
  void OnNodeClick(std::function<void(const TreeNode&)> handler) override;
  bool Enabled() const override;
  void SetFocus() override;

 private:
  NodeModel* nodes() const { return view_ ? view_->nodes() : nullptr; }
  TreeNode NodeAt(int id) const;

  QPointer<NodeTreeView> view_;
  std::function<void(const TreeNode&)> on_node_click_;
};

}  // namespace agendia::platform::qt
