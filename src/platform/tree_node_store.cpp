#include "platform/tree_node_store.h"

#include <algorithm>
#include <cstring>

namespace agendia::platform {

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;

}  // namespace

void TreeNodeStore::Clear() {
  last_found_ = kNone;
  nodes_.clear();
  for (Block& block : blocks_) block.size = 0;
  block_ = 0;
  std::fill(slots_.begin(), slots_.end(), 0);
}

std::size_t TreeNodeStore::CharCapacity() const {
  std::size_t capacity = 0;
  for (const Block& block : blocks_) capacity += block.capacity;
  return capacity;
}

std::size_t TreeNodeStore::SlotOf(std::string_view key, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  // The table is never more than half full, so an empty slot ends every probe.
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if (entry >> 32 == hash && Key(IdIn(entry)) == key) return slot;
  }
}

void TreeNodeStore::Grow() {
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

// Blocks never grow, so what they hold never moves, and a fill copies each
// character once. A block that cannot take the next pair is left with its free
// end unused for the rest of the fill.
const char* TreeNodeStore::Store(std::string_view key, std::string_view text) {
  const std::size_t size = key.size() + text.size();
  while (block_ < blocks_.size() && blocks_[block_].capacity - blocks_[block_].size < size) {
    ++block_;
  }
  if (block_ == blocks_.size()) {
    const std::size_t capacity = std::max(kBlockSize, size);
    blocks_.push_back(Block{std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
  }
  Block& block = blocks_[block_];
  char* const at = block.chars.get() + block.size;
  if (!key.empty()) std::memcpy(at, key.data(), key.size());
  if (!text.empty()) std::memcpy(at + key.size(), text.data(), text.size());
  block.size += size;
  return at;
}

}  // namespace agendia::platform
