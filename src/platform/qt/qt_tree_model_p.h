#pragma once

#include <agendia/status.h>

#include <QAbstractItemModel>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::platform::qt {

// The nodes of a tree view, kept in flat storage: a node is an id (its
// position in nodes_), its model index carries that id, and an open-addressing
// table of ids finds a key. The key and text of every node sit back to back,
// in UTF-8, in large character blocks that never move; a text becomes a QString
// only when a view asks for it.
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
  static constexpr int kNone = -1;

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
  int Count() const { return static_cast<int>(nodes_.size()); }
  std::string Key(int id) const { return std::string(KeyView(id)); }
  std::string Text(int id) const { return std::string(TextView(id)); }
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
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Node {
    const char* chars;  // the key, then the text, in a block
    int key_size;
    int text_size;
    int parent;
    int row;
  };

  void StartBatch();
  std::string_view KeyView(int id) const;
  std::string_view TextView(int id) const;
  // The slot of `key`, whose hash is `hash`: the one holding its node, or the
  // empty one where it belongs.
  std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
  // Makes room in slots_ for one more node.
  void ReserveSlot();
  // Copies `key` then `text` into a block; returns where they start.
  const char* Store(const std::string& key, const std::string& text);

  std::vector<Node> nodes_;
  // Blocks of at least 1 MiB, filled in order; a block's size is the part in
  // use. Clear empties them all.
  std::vector<std::vector<char>> blocks_;
  std::size_t block_ = 0;  // the block being filled
  std::vector<std::vector<int>> children_;  // by node id
  std::vector<int> top_level_;
  // A slot holds 0 when empty, else the low 32 bits of its key's hash (which
  // place it, and spare most key comparisons) above the node's id + 1. The
  // size is a power of two and at least twice the number of nodes.
  std::vector<std::uint64_t> slots_;
  bool in_batch_ = false;
  bool end_queued_ = false;
};

}  // namespace agendia::platform::qt
