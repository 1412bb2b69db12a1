#include "platform/qt/qt_tree_view_p.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <utility>

namespace agendia::platform::qt {
namespace {

Status Unloaded(const std::string& name) {
  return Status::Error(hr::kUnexpected, "The tree view '" + name + "' has been unloaded");
}

}  // namespace

NodeTreeView::NodeTreeView(QWidget* parent) : QTreeView(parent) {
  // Made here, not in the initializer list: making it sends this view an event,
  // and event() must see no model rather than an unset pointer.
  model_ = new NodeModel(this);
  setModel(model_);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);  // keeps layout linear in the visible rows
  // A long title scrolls sideways, as in a native tree view, rather than
  // being cut with an ellipsis. The header measures only the rows in view,
  // so the cost does not grow with the tree. It sizes to the contents only
  // from the view's first show (event()): a window being built and opened
  // sets its fonts one property at a time, and the header would measure the
  // column in each of those fonts.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Fixed);
  header()->setResizeContentsPrecision(0);
  setTextElideMode(Qt::ElideNone);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // After the view's own handling of the reset, which forgets every
  // expanded node.
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    for (const auto& [id, expanded] : model_->TakeExpansions()) {
      setExpanded(model_->IndexOf(id), expanded);
    }
  });
  connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) { Report(index); });
}

// Events that paint, hit-test or select against the nodes. Others (polish,
// font, resize, show, layout) need no nodes, and leave a batch open so that
// the view lays the whole tree out only once, with the window's fonts.
bool NodeTreeView::NeedsNodes(const QEvent& event) {
  switch (event.type()) {
    case QEvent::Paint:
    case QEvent::FocusIn:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return event.isInputEvent();
  }
}

bool NodeTreeView::event(QEvent* event) {
  if (event->type() == QEvent::Show && !sized_to_contents_) {
    sized_to_contents_ = true;
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  }
  if (model_ != nullptr && NeedsNodes(*event)) model_->EndBatch();
  return QTreeView::event(event);
}

bool NodeTreeView::viewportEvent(QEvent* event) {
  if (model_ != nullptr && NeedsNodes(*event)) model_->EndBatch();
  return QTreeView::viewportEvent(event);
}

void NodeTreeView::keyPressEvent(QKeyEvent* event) {
  // Enter shows the current node, as a click does, and goes no further: the
  // dialog would otherwise look for a default button to press.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (currentIndex().isValid()) Report(currentIndex());
    event->accept();
    return;
  }
  handling_key_ = true;
  QTreeView::keyPressEvent(event);
  handling_key_ = false;
}

void NodeTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (handling_key_) Report(current);
}

void NodeTreeView::Report(const QModelIndex& index) {
  const int id = model_->IdOf(index);
  if (id != NodeModel::kNone && on_node_selected) {
    auto handler = on_node_selected;
    handler(id);
  }
}

QtTreeView::QtTreeView(const ControlDesign& design, NodeTreeView* view)
    : QtControlBase(design.name, design.kind, view, design.font), view_(view) {
  view->on_node_selected = [this](int id) {
    if (!on_node_click_) return;
    auto handler = on_node_click_;
    handler(NodeAt(id));
  };
}

void QtTreeView::Clear() {
  if (NodeModel* model = nodes()) model->Clear();
}

Status QtTreeView::AddNode(const std::optional<std::string>& relative,
                           std::optional<int> relationship, const std::string& key,
                           const std::string& text) {
  NodeModel* model = nodes();
  if (model == nullptr) return Unloaded(Name());
  int parent = NodeModel::kNone;
  if (relative.has_value()) {
    if (relationship != kTreeChild) {
      return Status::Error(hr::kInvalidArg,
                           "The tree view supports only relationship " +
                               std::to_string(kTreeChild) + " (child); got " +
                               (relationship ? std::to_string(*relationship) : "none"));
    }
    parent = model->Find(*relative);
    if (parent == NodeModel::kNone) {
      return Status::Error(hr::kInvalidArg, "The tree has no node with the key '" + *relative +
                                                "' to add '" + key + "' to");
    }
  }
  return model->Append(parent, key, text);
}

std::optional<TreeNode> QtTreeView::FindNode(const std::string& key) const {
  NodeModel* model = nodes();
  if (model == nullptr) return std::nullopt;
  const int id = model->Find(key);
  if (id == NodeModel::kNone) return std::nullopt;
  return NodeAt(id);
}

Status QtTreeView::SetExpanded(const std::string& key, bool expanded) {
  NodeModel* model = nodes();
  if (model == nullptr) return Unloaded(Name());
  const int id = model->Find(key);
  if (id == NodeModel::kNone) {
    return Status::Error(hr::kInvalidArg, "The tree has no node with the key '" + key + "'");
  }
  // The view keeps the expanded state, so it must know the node. A view not
  // yet on screen (a window still loading) is not shown the batch now: the
  // window sets its fonts as it appears, and the view would lay the whole
  // tree out twice. The model hands the state over with the batch's nodes.
  if (model->InBatch() && !view_->isVisible()) {
    model->SetExpandedLater(id, expanded);
    return Status::Ok();
  }
  model->EndBatch();
  view_->setExpanded(model->IndexOf(id), expanded);
  return Status::Ok();
}

bool QtTreeView::IsExpanded(const std::string& key) const {
  NodeModel* model = nodes();
  if (model == nullptr) return false;
  const int id = model->Find(key);
  if (id == NodeModel::kNone) return false;
  // A batch starts from an empty tree, so during one a node is collapsed
  // unless it has been expanded since.
  if (model->InBatch()) return model->ExpandedLater(id).value_or(false);
  return view_->isExpanded(model->IndexOf(id));
}

int QtTreeView::NodeCount() const {
  NodeModel* model = nodes();
  return model == nullptr ? 0 : model->Count();
}

std::vector<std::string> QtTreeView::ChildKeys(const std::optional<std::string>& parent_key) const {
  std::vector<std::string> keys;
  NodeModel* model = nodes();
  if (model == nullptr) return keys;
  int parent = NodeModel::kNone;
  if (parent_key.has_value()) {
    parent = model->Find(*parent_key);
    if (parent == NodeModel::kNone) return keys;
  }
  const int count = model->ChildCount(parent);
  keys.reserve(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row) keys.push_back(model->Key(model->Child(parent, row)));
  return keys;
}

void QtTreeView::OnNodeClick(std::function<void(const TreeNode&)> handler) {
  on_node_click_ = std::move(handler);
}

bool QtTreeView::Enabled() const { return view_ && view_->isEnabled(); }

void QtTreeView::SetFocus() {
  if (view_) view_->setFocus(Qt::OtherFocusReason);
}

TreeNode QtTreeView::NodeAt(int id) const {
  const NodeModel& model = *nodes();
  TreeNode node{model.Key(id), model.Text(id), std::nullopt};
  if (model.Parent(id) != NodeModel::kNone) node.parent_key = model.Key(model.Parent(id));
  return node;
}

}  // namespace agendia::platform::qt
