#pragma once

#include <agendia/status.h>

#include <QAbstractItemModel>
#include <QString>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace agendia::platform::qt {

// The nodes of a tree view, kept in flat vectors: a node is an id (its
// position in the vectors), its model index carries that id, and a hash finds
// the id of a key. Nodes are only ever appended or all removed, so a node's
// row never changes. No widget or item object is made per node, which keeps
// 100,000 nodes cheap.
class NodeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  static constexpr int kNone = -1;

  explicit NodeModel(QObject* parent) : QAbstractItemModel(parent) {}

  // Appends a node under `parent` (kNone: the top level). Fails for a key
  // already in the tree. An empty key is allowed but cannot be found.
  Status Append(int parent, const std::string& key, const std::string& text);
  void Clear();

  // The id of the node with `key`, or kNone.
  int Find(const std::string& key) const;
  int Count() const { return static_cast<int>(nodes_.size()); }
  const std::string& Key(int id) const { return nodes_[id].key; }
  std::string Text(int id) const;
  int Parent(int id) const { return nodes_[id].parent; }
  const std::vector<int>& Children(int parent) const;
  int IdOf(const QModelIndex& index) const;
  QModelIndex IndexOf(int id) const;

  QModelIndex index(int row, int column, const QModelIndex& parent) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Node {
    std::string key;
    QString text;
    int parent;
    int row;
  };

  std::vector<Node> nodes_;
  std::vector<std::vector<int>> children_;  // by node id
  std::vector<int> top_level_;
  std::unordered_map<std::string, int> ids_by_key_;
};

}  // namespace agendia::platform::qt
