#include "platform/tree_node_store.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace agendia::platform {

namespace {

constexpr std::size_t kFirstBlockSize = std::size_t{64} << 10;
constexpr std::size_t kLastSmallBlockSize = std::size_t{256} << 10;
// A key table this large is about to grow into a large page anyway: taking
// one at once spares the faults of the tables in between.
constexpr std::size_t kLargeTableBytes = std::size_t{512} << 10;

}  // namespace

void TreeNodeStore::Clear() {
  last_found_ = kNone;
  nodes_.clear();
  for (Block& block : blocks_) block.size = 0;
  block_ = 0;
  std::fill(slots_, slots_ + slot_count_, 0);
}

std::size_t TreeNodeStore::CharCapacity() const {
  std::size_t capacity = 0;
  for (const Block& block : blocks_) capacity += block.chars.size();
  return capacity;
}

std::size_t TreeNodeStore::SlotOf(std::string_view key, std::uint32_t hash) const {
  const std::size_t mask = slot_count_ - 1;
  // The table is never more than half full, so an empty slot ends every probe.
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if (entry >> 32 == hash && Key(IdIn(entry)) == key) return slot;
  }
}

void TreeNodeStore::Grow() {
  const std::size_t count = std::max<std::size_t>(64, slot_count_ * 2);
  const std::size_t bytes = count * sizeof(std::uint64_t);
  PageBuffer buffer(bytes >= kLargeTableBytes ? std::max(bytes, PageBuffer::kLargePage) : bytes);
  auto* const slots = reinterpret_cast<std::uint64_t*>(buffer.data());
  std::fill(slots, slots + count, 0);
  const std::size_t mask = count - 1;
  for (std::size_t i = 0; i < slot_count_; ++i) {
    const std::uint64_t entry = slots_[i];
    if (entry == 0) continue;
    std::size_t slot = (entry >> 32) & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = entry;
  }
  slot_buffer_ = std::move(buffer);
  slots_ = slots;
  slot_count_ = count;
}

// Blocks never grow, so what they hold never moves, and a fill copies each
// character once. A block that cannot take the next pair is left with its free
// end unused for the rest of the fill.
const char* TreeNodeStore::Store(std::string_view key, std::string_view text) {
  const std::size_t size = key.size() + text.size();
  while (block_ < blocks_.size() && blocks_[block_].chars.size() - blocks_[block_].size < size) {
    ++block_;
  }
  if (block_ == blocks_.size()) {
    // Small trees stay small; past a few blocks a tree is large, and gets
    // whole large pages, each filled at the cost of one page fault.
    const std::size_t doubled = blocks_.empty() ? kFirstBlockSize : blocks_.back().chars.size() * 2;
    const std::size_t wanted = doubled > kLastSmallBlockSize ? PageBuffer::kLargePage : doubled;
    const std::size_t capacity = std::max(wanted, size);
    blocks_.push_back(Block{PageBuffer(capacity), 0});
  }
  Block& block = blocks_[block_];
  char* const at = block.chars.data() + block.size;
  if (!key.empty()) std::memcpy(at, key.data(), key.size());
  if (!text.empty()) std::memcpy(at + key.size(), text.data(), text.size());
  block.size += size;
  return at;
}

}  // namespace agendia::platform
