#include "platform/qt/qt_tree_model_p.h"

#include "platform/qt/qt_text_p.h"

namespace agendia::platform::qt {

Status NodeModel::Append(int parent, const std::string& key, const std::string& text) {
  if (!key.empty() && ids_by_key_.count(key) != 0) {
    return Status::Error(hr::kInvalidArg, "The tree already has a node with the key '" + key + "'");
  }
  const int id = Count();
  const int row = static_cast<int>(Children(parent).size());
  beginInsertRows(IndexOf(parent), row, row);
  nodes_.push_back(Node{key, ToQString(text), parent, row});
  (parent == kNone ? top_level_ : children_[parent]).push_back(id);
  children_.emplace_back();  // after the push above: this may move children_
  if (!key.empty()) ids_by_key_.emplace(key, id);
  endInsertRows();
  return Status::Ok();
}

void NodeModel::Clear() {
  beginResetModel();
  nodes_.clear();
  children_.clear();
  top_level_.clear();
  ids_by_key_.clear();
  endResetModel();
}

int NodeModel::Find(const std::string& key) const {
  const auto found = ids_by_key_.find(key);
  return found == ids_by_key_.end() ? kNone : found->second;
}

std::string NodeModel::Text(int id) const { return ToStdString(nodes_[id].text); }

const std::vector<int>& NodeModel::Children(int parent) const {
  return parent == kNone ? top_level_ : children_[parent];
}

int NodeModel::IdOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return kNone;
  return static_cast<int>(index.internalId());
}

QModelIndex NodeModel::IndexOf(int id) const {
  if (id < 0 || id >= Count()) return {};
  return createIndex(nodes_[id].row, 0, static_cast<quintptr>(id));
}

QModelIndex NodeModel::index(int row, int column, const QModelIndex& parent) const {
  const int parent_id = parent.isValid() ? IdOf(parent) : kNone;
  const std::vector<int>& siblings = Children(parent_id);
  if (column != 0 || row < 0 || row >= static_cast<int>(siblings.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(siblings[row]));
}

QModelIndex NodeModel::parent(const QModelIndex& child) const {
  const int id = IdOf(child);
  return id == kNone ? QModelIndex() : IndexOf(nodes_[id].parent);
}

int NodeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(Children(parent.isValid() ? IdOf(parent) : kNone).size());
}

int NodeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant NodeModel::data(const QModelIndex& index, int role) const {
  const int id = IdOf(index);
  if (id == kNone || role != Qt::DisplayRole) return {};
  return nodes_[id].text;
}

Qt::ItemFlags NodeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace agendia::platform::qt
