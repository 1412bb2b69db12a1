#include "platform/qt/qt_tree_model_p.h"

#include <QMetaObject>
#include <QString>

#include <algorithm>
#include <functional>

namespace agendia::platform::qt {

namespace {

std::uint32_t HashOf(std::string_view key) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
}

constexpr std::size_t kBlockSize = std::size_t{1} << 20;

}  // namespace

Status NodeModel::Append(int parent, const std::string& key, const std::string& text) {
  std::uint32_t hash = 0;
  std::size_t slot = 0;
  if (!key.empty()) {
    ReserveSlot();
    hash = HashOf(key);
    slot = SlotOf(key, hash);
    if (slots_[slot] != 0) {
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
  nodes_.push_back(Node{Store(key, text), static_cast<int>(key.size()),
                        static_cast<int>(text.size()), parent, row});
  siblings.push_back(id);
  children_.emplace_back();  // after the push above: this may move children_
  if (!key.empty()) slots_[slot] = std::uint64_t{hash} << 32 | static_cast<std::uint32_t>(id + 1);
  if (!in_batch_) endInsertRows();
  return Status::Ok();
}

void NodeModel::Clear() {
  // Outside a batch the views show the nodes; inside one they show nothing.
  const bool shown = !in_batch_ && !nodes_.empty();
  if (shown) beginResetModel();
  nodes_.clear();
  for (std::vector<char>& block : blocks_) block.clear();
  block_ = 0;
  children_.clear();
  top_level_.clear();
  std::fill(slots_.begin(), slots_.end(), 0);
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
  if (key.empty() || slots_.empty()) return kNone;
  return static_cast<int>(slots_[SlotOf(key, HashOf(key))] & 0xFFFFFFFFu) - 1;
}

const std::vector<int>& NodeModel::Children(int parent) const {
  return parent == kNone ? top_level_ : children_[parent];
}

std::string_view NodeModel::KeyView(int id) const {
  const Node& node = nodes_[id];
  return std::string_view(node.chars, node.key_size);
}

std::string_view NodeModel::TextView(int id) const {
  const Node& node = nodes_[id];
  return std::string_view(node.chars + node.key_size, node.text_size);
}

// Blocks never grow past their capacity, so what they hold never moves, and a
// fill copies each character once. A block that cannot take the next pair is
// left with its free end unused for the rest of the fill.
const char* NodeModel::Store(const std::string& key, const std::string& text) {
  const std::size_t size = key.size() + text.size();
  while (block_ < blocks_.size() && blocks_[block_].capacity() - blocks_[block_].size() < size) {
    ++block_;
  }
  if (block_ == blocks_.size()) blocks_.emplace_back().reserve(std::max(kBlockSize, size));
  std::vector<char>& block = blocks_[block_];
  const std::size_t at = block.size();
  block.insert(block.end(), key.begin(), key.end());
  block.insert(block.end(), text.begin(), text.end());
  return block.data() + at;
}

std::size_t NodeModel::SlotOf(std::string_view key, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  // The table is never more than half full, so an empty slot ends every probe.
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if (entry >> 32 == hash && KeyView(static_cast<int>(entry & 0xFFFFFFFFu) - 1) == key) {
      return slot;
    }
  }
}

void NodeModel::ReserveSlot() {
  if ((nodes_.size() + 1) * 2 <= slots_.size()) return;
  std::vector<std::uint64_t> old(std::max<std::size_t>(64, slots_.size() * 2), 0);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t entry : old) {
    if (entry == 0) continue;
    std::size_t slot = (entry >> 32) & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
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
  const std::string_view text = TextView(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::ItemFlags NodeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace agendia::platform::qt
