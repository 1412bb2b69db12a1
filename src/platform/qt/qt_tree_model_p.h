#pragma once

#include "platform/tree_node_store.h"

#include <agendia/status.h>

#include <QAbstractItemModel>

#include <string>
#include <vector>

namespace agendia::platform::qt {

// The nodes of a tree view, kept in flat storage: a node is an id (its
// position in nodes_ and in the store), its model index carries that id, and
// the store keeps every node's key and text, in UTF-8, and finds a key; a text
// becomes a QString only when a view asks for it.
// Nodes are only ever appended or all removed, so a node's row never changes,
// and Clear keeps every buffer's capacity, so the window's rebuild of up to
// 100,000 memos after each save allocates almost nothing.
//
// Filling happens in batches. Clear, or the first node added to an empty tree,
// opens one: the views are shown an empty tree and hear nothing while nodes
// are appended, and EndBatch then shows them the whole tree with one reset.
// That saves a notification (and the view's work for it) per node. The batch
// ends on the first of: EndBatch (the view calls it before it handles any
// event, the tree adapter before it expands a node), or a call queued when the
// batch opened, that is once control returns to the event loop. The node
// queries (Find, Count, Key, Text, Parent, Children) always answer from the
// data, batch or not. Nodes added outside a batch are announced one by one.
class NodeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  static constexpr int kNone = TreeNodeStore::kNone;

  explicit NodeModel(QObject* parent) : QAbstractItemModel(parent) {}

  // Appends a node under `parent` (kNone: the top level). Fails for a key
  // already in the tree. An empty key is allowed but cannot be found.
  Status Append(int parent, const std::string& key, const std::string& text);
  // Removes every node and opens a batch.
  void Clear();
  // Shows the views the nodes added during the batch; nothing outside one.
  void EndBatch();
  bool InBatch() const { return in_batch_; }

  // The id of the node with `key`, or kNone.
  int Find(const std::string& key) const;
  int Count() const { return store_.Count(); }
  std::string Key(int id) const { return std::string(store_.Key(id)); }
  std::string Text(int id) const { return std::string(store_.Text(id)); }
  int Parent(int id) const { return nodes_[id].parent; }
  const std::vector<int>& Children(int parent) const;
  // The node of an index of this model, or kNone (also for any index during a
  // batch: the views know no nodes then).
  int IdOf(const QModelIndex& index) const;
  // The index of a node; invalid during a batch.
  QModelIndex IndexOf(int id) const;

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // The view shows no header, and assistive technology must not read the
  // section number that QAbstractItemModel would give as its text.
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Node {
    int parent;
    int row;
  };

  void StartBatch();

  // Empty keys are added unindexed: such a node is never found.
  TreeNodeStore store_;
  std::vector<Node> nodes_;                 // by node id
  std::vector<std::vector<int>> children_;  // by node id
  std::vector<int> top_level_;
  bool in_batch_ = false;
  bool end_queued_ = false;
};

}  // namespace agendia::platform::qt
