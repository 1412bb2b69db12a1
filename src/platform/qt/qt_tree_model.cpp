#include "platform/qt/qt_tree_model_p.h"

#include <QMetaObject>
#include <QString>

#include <algorithm>

#include <optional>
#include <string_view>
#include <utility>

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
  if (!in_batch_ && Count() == 0) StartBatch();
  const int id = Count();
  ChildList* siblings = ListOf(parent);
  const int row = siblings == nullptr ? 0 : static_cast<int>(siblings->size());
  if (!in_batch_) beginInsertRows(IndexOf(parent), row, row);
  if (place) {
    store_.Insert(*place, text);
  } else {
    store_.AddUnindexed(key, text);
  }
  if (static_cast<std::size_t>(id) >> 6 == has_list_.size()) has_list_.push_back(0);
  (siblings == nullptr ? MakeListOf(parent) : *siblings).push_back(id);
  if (!in_batch_) endInsertRows();
  return Status::Ok();
}

const NodeModel::ChildList* NodeModel::ListOf(int parent) const {
  if (parent == kNone) return &top_level_;
  if (!HasList(parent)) return nullptr;
  if (parent != last_parent_) {
    last_list_ = list_of_.find(parent)->second;
    last_parent_ = parent;
  }
  return &last_list_->ids;
}

NodeModel::ChildList* NodeModel::ListOf(int parent) {
  return const_cast<ChildList*>(std::as_const(*this).ListOf(parent));
}

NodeModel::ChildList& NodeModel::MakeListOf(int parent) {
  if (lists_used_ == lists_.size()) lists_.push_back(std::make_unique<Children>());
  Children& list = *lists_[lists_used_++];
  list.ids.clear();
  // The parent's own parent, found while the parent is still a node without
  // children.
  list.parent = Parent(parent);
  list_of_.emplace(parent, &list);
  has_list_[static_cast<std::size_t>(parent) >> 6] |= std::uint64_t{1} << (parent & 63);
  last_parent_ = parent;
  last_list_ = &list;
  return list.ids;
}

int NodeModel::RowIn(const ChildList& siblings, int id) {
  std::size_t low = 0, high = siblings.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (siblings[middle] < id) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low < siblings.size() && siblings[low] == id ? static_cast<int>(low) : -1;
}

int NodeModel::Parent(int id) const {
  if (HasList(id)) return list_of_.find(id)->second->parent;
  // A node without children is in exactly one list: its parent's, most
  // likely the one used last.
  if (last_list_ != nullptr && RowIn(last_list_->ids, id) >= 0) return last_parent_;
  if (RowIn(top_level_, id) >= 0) return kNone;
  for (const auto& [parent, list] : list_of_) {
    if (RowIn(list->ids, id) >= 0) return parent;
  }
  return kNone;
}

void NodeModel::Clear() {
  // Outside a batch the views show the nodes; inside one they show nothing.
  const bool shown = !in_batch_ && Count() > 0;
  if (shown) beginResetModel();
  store_.Clear();
  std::fill(has_list_.begin(), has_list_.end(), 0);
  top_level_.clear();
  lists_used_ = 0;
  list_of_.clear();
  last_parent_ = kNone;
  last_list_ = nullptr;
  expansions_.clear();
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
  // The tree is complete: what its storage did not use goes back.
  store_.ReleaseUnusedPages();
  beginResetModel();
  // Before the views hear of the reset: anything they do about it may come
  // back here, and must find the batch over.
  in_batch_ = false;
  endResetModel();
}

void NodeModel::SetExpandedLater(int id, bool expanded) { expansions_.emplace_back(id, expanded); }

std::optional<bool> NodeModel::ExpandedLater(int id) const {
  for (auto it = expansions_.rbegin(); it != expansions_.rend(); ++it) {
    if (it->first == id) return it->second;
  }
  return std::nullopt;
}

std::vector<std::pair<int, bool>> NodeModel::TakeExpansions() { return std::exchange(expansions_, {}); }

int NodeModel::Find(const std::string& key) const {
  return key.empty() ? kNone : store_.Find(key);
}

int NodeModel::ChildCount(int parent) const {
  const ChildList* children = ListOf(parent);
  return children == nullptr ? 0 : static_cast<int>(children->size());
}

int NodeModel::Child(int parent, int row) const {
  return (*ListOf(parent))[static_cast<std::size_t>(row)];
}

int NodeModel::IdOf(const QModelIndex& index) const {
  if (in_batch_ || !index.isValid() || index.model() != this) return kNone;
  const quintptr id = index.internalId() & 0xFFFFFFFFu;
  return id < static_cast<quintptr>(Count()) ? static_cast<int>(id) : kNone;
}

QModelIndex NodeModel::IndexOf(int id) const {
  if (in_batch_ || id < 0 || id >= Count()) return {};
  return IndexIn(Parent(id), id);
}

// An index carries the node's id in its low 32 bits and the parent's id + 1
// above them.
static_assert(sizeof(quintptr) >= 8, "a model index carries two node ids");

QModelIndex NodeModel::IndexIn(int parent, int id) const {
  // Siblings are listed in the order they were added, which is the order of
  // their ids: the row is found by bisection.
  const int row = RowIn(*ListOf(parent), id);
  return createIndex(row, 0, static_cast<quintptr>(static_cast<std::uint32_t>(id)) |
                                 static_cast<quintptr>(parent + 1) << 32);
}

QModelIndex NodeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
  const int parent_id = parent.isValid() ? IdOf(parent) : kNone;
  const int id = Child(parent_id, row);
  return createIndex(row, 0, static_cast<quintptr>(static_cast<std::uint32_t>(id)) |
                                 static_cast<quintptr>(parent_id + 1) << 32);
}

QModelIndex NodeModel::parent(const QModelIndex& child) const {
  const int id = IdOf(child);
  if (id == kNone) return {};
  const int parent = static_cast<int>(child.internalId() >> 32) - 1;
  return parent == kNone ? QModelIndex() : IndexOf(parent);
}

int NodeModel::rowCount(const QModelIndex& parent) const {
  if (in_batch_) return 0;
  if (!parent.isValid()) return static_cast<int>(top_level_.size());
  const int id = IdOf(parent);
  return id == kNone || parent.column() != 0 ? 0 : ChildCount(id);
}

bool NodeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

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
