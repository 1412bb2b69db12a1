#include "platform/qt/qt_tree_model_p.h"

#include <QMetaObject>
#include <QString>

#include <optional>
#include <string_view>

namespace agendia::platform::qt {

Status NodeModel::Append(int parent, const std::string& key, const std::string& text) {
  std::optional<TreeNodeStore::Place> place;
  if (!key.empty()) {
    place = store_.Locate(key);
    if (place->found() != kNone) {
      return Status::Error(hr::kInvalidArg,
                           "The tree already has a node with the key '" + key + "'");
    }
  }
  // An empty tree has nothing on screen to keep, so filling it can be batched.
  if (!in_batch_ && nodes_.empty()) StartBatch();
  const int id = Count();
  std::vector<int>& siblings = parent == kNone ? top_level_ : children_[parent];
  const int row = static_cast<int>(siblings.size());
  if (!in_batch_) beginInsertRows(IndexOf(parent), row, row);
  if (place) {
    store_.Insert(*place, text);
  } else {
    store_.AddUnindexed(key, text);
  }
  nodes_.push_back(Node{parent, row});
  siblings.push_back(id);
  children_.emplace_back();  // after the push above: this may move children_
  if (!in_batch_) endInsertRows();
  return Status::Ok();
}

void NodeModel::Clear() {
  // Outside a batch the views show the nodes; inside one they show nothing.
  const bool shown = !in_batch_ && !nodes_.empty();
  if (shown) beginResetModel();
  store_.Clear();
  nodes_.clear();
  children_.clear();
  top_level_.clear();
  StartBatch();
  if (shown) endResetModel();
}

void NodeModel::StartBatch() {
  in_batch_ = true;
  if (end_queued_) return;
  end_queued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        end_queued_ = false;
        EndBatch();
      },
      Qt::QueuedConnection);
}

void NodeModel::EndBatch() {
  if (!in_batch_) return;
  beginResetModel();
  // Before the views hear of the reset: anything they do about it may come
  // back here, and must find the batch over.
  in_batch_ = false;
  endResetModel();
}

int NodeModel::Find(const std::string& key) const {
  return key.empty() ? kNone : store_.Find(key);
}

const std::vector<int>& NodeModel::Children(int parent) const {
  return parent == kNone ? top_level_ : children_[parent];
}

int NodeModel::IdOf(const QModelIndex& index) const {
  if (in_batch_ || !index.isValid() || index.model() != this) return kNone;
  const quintptr id = index.internalId();
  return id < nodes_.size() ? static_cast<int>(id) : kNone;
}

QModelIndex NodeModel::IndexOf(int id) const {
  if (in_batch_ || id < 0 || id >= Count()) return {};
  return createIndex(nodes_[id].row, 0, static_cast<quintptr>(id));
}

QModelIndex NodeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
  const std::vector<int>& siblings = Children(parent.isValid() ? IdOf(parent) : kNone);
  return createIndex(row, 0, static_cast<quintptr>(siblings[row]));
}

QModelIndex NodeModel::parent(const QModelIndex& child) const {
  const int id = IdOf(child);
  return id == kNone ? QModelIndex() : IndexOf(nodes_[id].parent);
}

int NodeModel::rowCount(const QModelIndex& parent) const {
  if (in_batch_) return 0;
  if (!parent.isValid()) return static_cast<int>(top_level_.size());
  const int id = IdOf(parent);
  return id == kNone || parent.column() != 0 ? 0 : static_cast<int>(children_[id].size());
}

int NodeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant NodeModel::data(const QModelIndex& index, int role) const {
  const int id = IdOf(index);
  // The tree is narrow and cuts long titles short; the tool tip shows the
  // whole title.
  if (id == kNone || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const std::string_view text = store_.Text(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant NodeModel::headerData(int /*section*/, Qt::Orientation /*orientation*/,
                               int /*role*/) const {
  return {};
}

Qt::ItemFlags NodeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace agendia::platform::qt
