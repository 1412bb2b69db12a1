#pragma once

#include "platform/stable_array.h"
#include "platform/tree_node_store.h"

#include <agendia/status.h>

#include <QAbstractItemModel>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace agendia::platform::qt {

// The nodes of a tree view, kept in flat storage: a node is an id (its
// position in the store), its model index carries that id, and the store
// keeps every node's key and text, in UTF-8, and finds a key; a text becomes
// a QString only when a view asks for it.
//
// Memory per node is what a list of up to a million memos can afford: the
// key and text in blocks, one entry in its parent's child list, and a bit
// that tells whether it has children; only nodes that have children own a
// list, and only they keep their parent's id. A model index carries its
// node's id and its parent's, so the views never need the parent of a node
// without children; Parent finds it in the lists, by bisection. Nothing moves as the
// tree grows (see StableArray), and Clear keeps every buffer, so the window's
// rebuild after each save allocates almost nothing and touches no new page.
// Nodes are only ever appended or all removed, so a node's row never changes.
//
// Filling happens in batches. Clear, or the first node added to an empty tree,
// opens one: the views are shown an empty tree and hear nothing while nodes
// are appended, and EndBatch then shows them the whole tree with one reset.
// That saves a notification (and the view's work for it) per node, and lets
// the view lay the tree out once, when it first paints it: by then the window
// has its fonts. The batch ends on the first of: EndBatch (the view calls it
// before it paints or handles input, the tree adapter before it expands a
// node of a view on screen), or a call queued when the batch opened, that is
// once control returns to the event loop. Expanding or collapsing a node of a
// view not yet on screen is recorded and handed to the views after the reset
// (TakeExpansions). The node queries (Find, Count, Key, Text, Parent,
// ChildCount, Child) always answer from the data, batch or not. Nodes added
// outside a batch are announced one by one.
class NodeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  static constexpr int kNone = TreeNodeStore::kNone;

  explicit NodeModel(QObject* parent) : QAbstractItemModel(parent) {}

  // Appends a node under `parent` (kNone: the top level). Fails for a key
  // already in the tree, and then adds nothing. An empty key is allowed but
  // cannot be found.
  Status Append(int parent, const std::string& key, const std::string& text);
  // Removes every node and opens a batch.
  void Clear();
  // Shows the views the nodes added during the batch; nothing outside one.
  void EndBatch();
  bool InBatch() const { return in_batch_; }

  // During a batch: remembers that the views should expand (or collapse)
  // node `id` once they know it; the last call for a node counts.
  void SetExpandedLater(int id, bool expanded);
  // What SetExpandedLater recorded for `id` in this batch, or nothing.
  std::optional<bool> ExpandedLater(int id) const;
  // The recorded expansions, in the order recorded; empties the record.
  std::vector<std::pair<int, bool>> TakeExpansions();

  // The id of the node with `key`, or kNone.
  int Find(const std::string& key) const;
  int Count() const { return store_.Count(); }
  std::string Key(int id) const { return std::string(store_.Key(id)); }
  std::string Text(int id) const { return std::string(store_.Text(id)); }
  int Parent(int id) const;
  // The children of `parent` (kNone: the top level), in the order added.
  int ChildCount(int parent) const;
  int Child(int parent, int row) const;
  // The node of an index of this model, or kNone (also for any index during a
  // batch: the views know no nodes then).
  int IdOf(const QModelIndex& index) const;
  // The index of a node; invalid during a batch.
  QModelIndex IndexOf(int id) const;

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  bool hasChildren(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // The view shows no header, and assistive technology must not read the
  // section number that QAbstractItemModel would give as its text.
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  using ChildList = StableArray<int>;
  struct Children {
    ChildList ids;  // in the order added, which is the order of the ids
    int parent = kNone;
  };
  bool HasList(int id) const {
    return (has_list_[static_cast<std::size_t>(id) >> 6] >> (id & 63) & 1) != 0;
  }
  // The index of node `id`, a child of `parent`.
  QModelIndex IndexIn(int parent, int id) const;
  // The row of `id` among `siblings`, or -1.
  static int RowIn(const ChildList& siblings, int id);
  // The child list of `parent` (kNone: the top level), or null for a node
  // without children.
  const ChildList* ListOf(int parent) const;
  ChildList* ListOf(int parent);
  ChildList& MakeListOf(int parent);
  void StartBatch();

  // Empty keys are added unindexed: such a node is never found.
  TreeNodeStore store_;
  // By node id, a bit per node: whether it has a child list.
  std::vector<std::uint64_t> has_list_;
  ChildList top_level_;
  // The child lists of the nodes that have children; lists_ keeps every
  // list made (reused after Clear), list_of_ maps a parent to its list.
  std::vector<std::unique_ptr<Children>> lists_;
  std::size_t lists_used_ = 0;
  std::unordered_map<int, Children*> list_of_;
  // The list asked for last: a view asks for one parent's rows in a row.
  mutable int last_parent_ = kNone;
  mutable const Children* last_list_ = nullptr;

  std::vector<std::pair<int, bool>> expansions_;
  bool in_batch_ = false;
  bool end_queued_ = false;
};

}  // namespace agendia::platform::qt
