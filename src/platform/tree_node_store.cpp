#include "platform/tree_node_store.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <utility>

namespace agendia::platform {

namespace {

constexpr std::size_t kFirstBlockSize = std::size_t{64} << 10;
constexpr std::size_t kLastSmallBlockSize = std::size_t{256} << 10;
constexpr std::size_t kMaxBlocks = std::size_t{1} << (32 - 21);

// How a key is stored: as its characters, or, for an identifier, as the 16
// bytes its hex digits stand for.
enum KeyForm : unsigned { kPlain = 0, kIdentifierUpper = 1, kIdentifierLower = 2 };
constexpr std::size_t kIdentifierSize = 36;
constexpr std::size_t kIdentifierBytes = 16;
constexpr std::size_t kMaxHeader = 10;  // a 64-bit number in 7-bit groups

constexpr bool IsDashAt(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

// Per character: its value as a hex digit in the low four bits, and whether
// it is a digit, an upper-case or a lower-case hex letter; 0 for any other.
constexpr unsigned char kDigit = 0x10, kUpper = 0x20, kLower = 0x40;
constexpr std::array<unsigned char, 256> kHexClass = [] {
  std::array<unsigned char, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(kDigit | (c - '0'));
  for (int c = 'A'; c <= 'F'; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(kUpper | (c - 'A' + 10));
  for (int c = 'a'; c <= 'f'; ++c) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(kLower | (c - 'a' + 10));
  return table;
}();
// Where the 32 hex digits of an identifier are.
constexpr std::array<unsigned char, 32> kDigitAt = [] {
  std::array<unsigned char, 32> at{};
  for (std::size_t i = 0, n = 0; i < 36; ++i) {
    if (!IsDashAt(i)) at[n++] = static_cast<unsigned char>(i);
  }
  return at;
}();

// The form of `key`, and for an identifier its 16 bytes in `bytes`: an
// identifier only when every letter has one case, so that the case can be
// given back. Digits alone count as upper case. Without a branch per
// character: identifiers are random, and a branch on each digit would be
// mispredicted half the time.
KeyForm FormOf(std::string_view key, unsigned char* bytes) {
  if (key.size() != kIdentifierSize || key[8] != '-' || key[13] != '-' || key[18] != '-' ||
      key[23] != '-') {
    return kPlain;
  }
  unsigned seen = 0;
  bool other = false;
  for (std::size_t n = 0; n < 16; ++n) {
    const unsigned char high = kHexClass[static_cast<unsigned char>(key[kDigitAt[2 * n]])];
    const unsigned char low = kHexClass[static_cast<unsigned char>(key[kDigitAt[2 * n + 1]])];
    other |= (high == 0) | (low == 0);
    seen |= high | low;
    bytes[n] = static_cast<unsigned char>((high & 0xF) << 4 | (low & 0xF));
  }
  if (other || ((seen & kUpper) && (seen & kLower))) return kPlain;
  return (seen & kLower) ? kIdentifierLower : kIdentifierUpper;
}

char* PutNumber(char* out, std::uint64_t value) {
  while (value >= 0x80) {
    *out++ = static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  *out++ = static_cast<char>(value);
  return out;
}

const char* GetNumber(const char* in, std::uint64_t& value) {
  value = 0;
  for (unsigned shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*in++);
    value |= std::uint64_t{byte & 0x7Fu} << shift;
    if ((byte & 0x80) == 0) return in;
  }
}

// The header: the key's length (0 for an identifier) and form, and whether
// the node is in the table.
std::uint64_t HeaderOf(std::size_t length, KeyForm form, bool indexed) {
  return ((std::uint64_t{length} << 2 | form) << 1) | (indexed ? 1 : 0);
}

// Writes the stored form of `key` to `out`, which has room for
// key.size() + kMaxHeader bytes; returns its end.
char* EncodeKey(std::string_view key, bool indexed, char* out) {
  unsigned char bytes[kIdentifierBytes];
  const KeyForm form = FormOf(key, bytes);
  if (form == kPlain) {
    out = PutNumber(out, HeaderOf(key.size(), kPlain, indexed));
    if (!key.empty()) std::memcpy(out, key.data(), key.size());
    return out + key.size();
  }
  out = PutNumber(out, HeaderOf(0, form, indexed));
  std::memcpy(out, bytes, kIdentifierBytes);
  return out + kIdentifierBytes;
}

// The stored form of a key for a lookup, in a buffer of its own.
class KeyForLookup {
 public:
  explicit KeyForLookup(std::string_view key) {
    char* start = small_.data();
    if (key.size() > kSmall) {
      large_.resize(key.size() + kMaxHeader);
      start = large_.data();
    }
    size_ = static_cast<std::size_t>(EncodeKey(key, true, start) - start);
    data_ = start;
  }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kSmall = 118;
  std::array<char, kSmall + kMaxHeader> small_;
  std::string large_;
  const char* data_;
  std::size_t size_;
};

}  // namespace

TreeNodeStore::EncodedKey TreeNodeStore::KeyOfRecord(const char* record) {
  std::uint64_t header = 0;
  const char* const bytes = GetNumber(record, header);
  const auto form = static_cast<KeyForm>((header >> 1) & 3);
  const std::size_t size = form == kPlain ? static_cast<std::size_t>(header >> 3) : kIdentifierBytes;
  return EncodedKey{record, static_cast<std::size_t>(bytes - record) + size};
}

std::size_t TreeNodeStore::RecordSize(const char* record) {
  const EncodedKey key = KeyOfRecord(record);
  std::uint64_t size = 0;
  const char* const text = GetNumber(record + key.size, size);
  return static_cast<std::size_t>(text - record) + static_cast<std::size_t>(size);
}

void TreeNodeStore::Step(std::size_t& block, std::size_t& offset) const {
  offset += RecordSize(blocks_[block].chars.data() + offset);
  // A block ends where its last record does; the next record is at the
  // start of the next block that holds any.
  while (offset >= blocks_[block].size) {
    ++block;
    offset = 0;
  }
}

const char* TreeNodeStore::RecordOf(int id) const {
  const std::uint32_t at = anchors_[static_cast<std::size_t>(id) >> kAnchorBits];
  std::size_t block = at >> kOffsetBits;
  std::size_t offset = at & ((std::uint32_t{1} << kOffsetBits) - 1);
  for (int n = id & ((1 << kAnchorBits) - 1); n > 0; --n) Step(block, offset);
  return blocks_[block].chars.data() + offset;
}

std::uint64_t TreeNodeStore::HashOf(EncodedKey key) {
  return std::hash<std::string_view>{}(std::string_view(key.data, key.size));
}

TreeNodeStore::Place TreeNodeStore::Locate(std::string_view key) {
  // Unindexed nodes take ids too: the id the insert will get must fit in a
  // slot's id bits (id + 1 below the table's size) as much as the table must
  // keep its empty slots.
  if ((indexed_ + 1) * 5 > slot_count_ * 4 || static_cast<std::size_t>(count_) + 2 > slot_count_) {
    Grow();
  }
  located_.resize(key.size() + kMaxHeader);
  const char* end = EncodeKey(key, true, located_.data());
  located_.resize(static_cast<std::size_t>(end - located_.data()));
  const EncodedKey encoded{located_.data(), located_.size()};
  const std::uint64_t hash = HashOf(encoded);
  const std::size_t slot = SlotOf(encoded, hash);
  return Place(slot, TagOf(hash), IdIn(slots_[slot]));
}

int TreeNodeStore::Insert(const Place& place, std::string_view text) {
  if (place.found_ != kNone) return kNone;
  const int id = Add(EncodedKey{located_.data(), located_.size()}, text);
  slots_[place.slot_] = SlotValue(place.tag_, id);
  ++indexed_;
  return id;
}

int TreeNodeStore::AddUnindexed(std::string_view key, std::string_view text) {
  std::string encoded(key.size() + kMaxHeader, '\0');
  const char* end = EncodeKey(key, false, encoded.data());
  return Add(EncodedKey{encoded.data(), static_cast<std::size_t>(end - encoded.data())}, text);
}

int TreeNodeStore::Find(std::string_view key) const {
  if (slot_count_ == 0) return kNone;
  for (const Recent& recent : recent_) {
    if (recent.id != kNone && recent.key == key) return recent.id;
  }
  const KeyForLookup lookup(key);
  const EncodedKey encoded{lookup.data(), lookup.size()};
  const int id = IdIn(slots_[SlotOf(encoded, HashOf(encoded))]);
  if (id != kNone && key.size() <= kMaxRecentKey) {
    Recent& recent = recent_[next_recent_++ % kRecent];
    recent.key.assign(key);
    recent.id = id;
  }
  return id;
}

std::string TreeNodeStore::Key(int id) const {
  const char* const record = RecordOf(id);
  std::uint64_t header = 0;
  const char* const bytes = GetNumber(record, header);
  const auto form = static_cast<KeyForm>((header >> 1) & 3);
  if (form == kPlain) return std::string(bytes, static_cast<std::size_t>(header >> 3));
  const char* const digits = form == kIdentifierLower ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string key(kIdentifierSize, '-');
  std::size_t byte = 0;
  for (std::size_t i = 0; i < kIdentifierSize; i += 2) {
    if (IsDashAt(i)) ++i;
    const auto value = static_cast<unsigned char>(bytes[byte++]);
    key[i] = digits[value >> 4];
    key[i + 1] = digits[value & 0xF];
  }
  return key;
}

std::string_view TreeNodeStore::Text(int id) const {
  const EncodedKey key = KeyOfRecord(RecordOf(id));
  std::uint64_t size = 0;
  const char* const text = GetNumber(key.data + key.size, size);
  return {text, static_cast<std::size_t>(size)};
}

void TreeNodeStore::Clear() {
  for (Recent& recent : recent_) recent.id = kNone;
  count_ = 0;
  anchors_.clear();
  for (Block& block : blocks_) block.size = 0;
  block_ = 0;
  indexed_ = 0;
  std::fill(slots_, slots_ + slot_count_, 0);
}

void TreeNodeStore::ReleaseUnusedPages() {
  for (std::size_t i = block_; i < blocks_.size(); ++i) blocks_[i].chars.Discard(blocks_[i].size);
}

std::size_t TreeNodeStore::CharCapacity() const {
  std::size_t capacity = 0;
  for (const Block& block : blocks_) capacity += block.chars.size();
  return capacity;
}

std::size_t TreeNodeStore::SlotOf(EncodedKey key, std::uint64_t hash) const {
  const std::size_t mask = slot_count_ - 1;
  const std::uint32_t tag = TagOf(hash);
  // The table is never full, so an empty slot ends every probe.
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t entry = slots_[slot];
    if (entry == 0) return slot;
    if (TagIn(entry) == tag) {
      const EncodedKey stored = KeyOfRecord(RecordOf(IdIn(entry)));
      if (stored.size == key.size && std::memcmp(stored.data, key.data, key.size) == 0) return slot;
    }
  }
}

// The slots hold too few bits of each hash to place it in a larger table, so
// the keys are hashed again, node after node, reading the blocks in order.
void TreeNodeStore::Grow() {
  // Large enough for one more key at most 4/5 full, and for the id of one
  // more node, which after many unindexed nodes may need several doublings.
  std::size_t count = std::max<std::size_t>(64, slot_count_ * 2);
  while ((indexed_ + 1) * 5 > count * 4 || static_cast<std::size_t>(count_) + 2 > count) count *= 2;
  const std::size_t bytes = count * sizeof(std::uint32_t);
  // Large pages only from their own size on: a smaller table in a large page
  // would keep the whole page resident.
  PageBuffer buffer(bytes);
  auto* const slots = reinterpret_cast<std::uint32_t*>(buffer.data());
  std::fill(slots, slots + count, 0);
  slot_buffer_ = std::move(buffer);
  slots_ = slots;
  slot_count_ = count;
  id_bits_ = static_cast<unsigned>(std::countr_zero(count));
  const std::size_t mask = count - 1;
  std::size_t block = 0, offset = 0;
  if (count_ > 0) {
    block = anchors_[0] >> kOffsetBits;
    offset = anchors_[0] & ((std::uint32_t{1} << kOffsetBits) - 1);
  }
  for (int id = 0; id < count_; ++id) {
    if (id > 0) Step(block, offset);
    const EncodedKey key = KeyOfRecord(blocks_[block].chars.data() + offset);
    if ((static_cast<unsigned char>(key.data[0]) & 1) == 0) continue;  // unindexed
    const std::uint64_t hash = HashOf(key);
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = SlotValue(TagOf(hash), id);
  }
}

// Blocks never grow, so what they hold never moves, and a fill copies each
// character once. A block that cannot take the next record is left with its
// free end unused for the rest of the fill.
int TreeNodeStore::Add(EncodedKey key, std::string_view text) {
  char text_header[kMaxHeader];
  const std::size_t text_header_size =
      static_cast<std::size_t>(PutNumber(text_header, text.size()) - text_header);
  const std::size_t size = key.size + text_header_size + text.size();
  constexpr std::size_t kMaxOffset = std::size_t{1} << kOffsetBits;
  while (block_ < blocks_.size() &&
         (blocks_[block_].size >= kMaxOffset || blocks_[block_].chars.size() - blocks_[block_].size < size)) {
    ++block_;
  }
  if (block_ == blocks_.size()) {
    if (blocks_.size() == kMaxBlocks) throw std::length_error("The tree holds too much text");
    // Small trees stay small; past a few blocks a tree is large, and gets
    // whole large pages, each filled at the cost of one page fault.
    const std::size_t doubled = blocks_.empty() ? kFirstBlockSize : blocks_.back().chars.size() * 2;
    const std::size_t wanted = doubled > kLastSmallBlockSize ? PageBuffer::kLargePage : doubled;
    blocks_.push_back(Block{PageBuffer(std::max(wanted, size)), 0});
  }
  Block& block = blocks_[block_];
  char* const at = block.chars.data() + block.size;
  std::memcpy(at, key.data, key.size);
  std::memcpy(at + key.size, text_header, text_header_size);
  if (!text.empty()) std::memcpy(at + key.size + text_header_size, text.data(), text.size());
  // The node counts only once its record is complete, anchor included: an
  // anchor that cannot be stored (no memory) leaves the store as it was.
  const int id = count_;
  if ((id & ((1 << kAnchorBits) - 1)) == 0) {
    anchors_.push_back(static_cast<std::uint32_t>(block_ << kOffsetBits | block.size));
  }
  block.size += size;
  ++count_;
  return id;
}

}  // namespace agendia::platform
