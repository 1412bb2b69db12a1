#pragma once

#include "platform/page_buffer.h"
#include "platform/stable_array.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace agendia::platform {

// The keys and texts of the nodes of a tree view, stored by id, with a lookup
// of a node's id by its key. Toolkit-free: the tree views of every platform
// keep their nodes here and their own structure (parent, children, expanded
// state) in vectors of their own, indexed by the same ids.
//
// Contract:
// - Ids are dense and in insertion order: the first node added is 0, the next
//   1, and so on; Count() is the id the next node gets. Nodes are only ever
//   added, or all removed by Clear.
// - A key may be any text, the empty one included. Among the nodes added with
//   Insert keys are unique, and Find finds them; a node added with
//   AddUnindexed is never found and clashes with no key.
// - The views that Key and Text return stay valid, and keep pointing at the
//   same characters, until Clear (or the store's end): the characters are
//   copied once into blocks that never move (64 KiB at first, each twice the
//   one before, then large pages).
// - Clear removes every node but keeps all memory (character blocks, lookup
//   table, per-node records) for reuse: refilling the store with the same
//   nodes allocates nothing, and the lookup table is already of the size
//   the fill needs.
// - Growing never moves a node's record or characters; only the lookup table
//   is rebuilt, twice as large, when it would become more than half full.
// - Lookups cost one hash and, almost always, one key comparison: an
//   open-addressing table, kept at most half full, holds each key's hash
//   next to its node's id.
class TreeNodeStore {
 public:
  static constexpr int kNone = -1;

  // Where Locate found a key, or where the key would go.
  class Place {
   public:
    // The node that has the key, or kNone.
    int found() const { return found_; }

   private:
    friend class TreeNodeStore;
    Place(std::string_view key, std::size_t slot, std::uint32_t hash, int found)
        : key_(key), slot_(slot), hash_(hash), found_(found) {}
    std::string_view key_;
    std::size_t slot_;
    std::uint32_t hash_;
    int found_;
  };

  // Looks `key` up for an Insert, making room in the table for one more key.
  // The place is good for one Insert with no other change to the store (no
  // Locate, Insert, AddUnindexed or Clear) in between, and while the
  // characters of `key` live. Find, Key and Text may be called in between.
  Place Locate(std::string_view key) {
    if ((nodes_.size() + 1) * 2 > slot_count_) Grow();
    const std::uint32_t hash = HashOf(key);
    const std::size_t slot = SlotOf(key, hash);
    return Place(key, slot, hash, IdIn(slots_[slot]));
  }
  // Adds a node with the key of `place` and `text`, and returns its id. When
  // the place found a node, adds nothing and returns kNone.
  int Insert(const Place& place, std::string_view text) {
    if (place.found_ != kNone) return kNone;
    const int id = Add(place.key_, text);
    slots_[place.slot_] = std::uint64_t{place.hash_} << 32 | static_cast<std::uint32_t>(id + 1);
    return id;
  }
  // Adds a node that Find never finds, whatever its key; returns its id.
  int AddUnindexed(std::string_view key, std::string_view text) { return Add(key, text); }

  // The id of the node added with Insert whose key is `key`, or kNone.
  int Find(std::string_view key) const {
    // A tree is filled child after child of the same parent, so the node
    // found last is very likely the one asked for next.
    if (last_found_ != kNone && Key(last_found_) == key) return last_found_;
    if (slot_count_ == 0) return kNone;
    const int id = IdIn(slots_[SlotOf(key, HashOf(key))]);
    if (id != kNone) last_found_ = id;
    return id;
  }
  int Count() const { return static_cast<int>(nodes_.size()); }
  // The key and the text of a node; `id` must be below Count().
  std::string_view Key(int id) const {
    const Node& node = nodes_[static_cast<std::size_t>(id)];
    return {node.chars, node.key_size};
  }
  std::string_view Text(int id) const {
    const Node& node = nodes_[static_cast<std::size_t>(id)];
    return {node.chars + node.key_size, node.text_size};
  }

  // Removes every node; keeps all memory for the next fill.
  void Clear();
  // The characters the blocks can hold in all, used or not: what a fill may
  // use before the store allocates again.
  std::size_t CharCapacity() const;

 private:
  mutable int last_found_ = kNone;  // until Clear, a found id keeps its key

  struct Node {
    const char* chars;  // the key, then the text, in a block
    std::uint32_t key_size;
    std::uint32_t text_size;
  };
  // Characters, filled from the start; never reallocated.
  struct Block {
    PageBuffer chars;
    std::size_t size = 0;  // the part in use
  };

  static std::uint32_t HashOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
  }
  // The id in a slot, or kNone for an empty one.
  static int IdIn(std::uint64_t slot) { return static_cast<int>(slot & 0xFFFFFFFFu) - 1; }
  int Add(std::string_view key, std::string_view text) {
    const int id = Count();
    nodes_.push_back(Node{Store(key, text), static_cast<std::uint32_t>(key.size()),
                          static_cast<std::uint32_t>(text.size())});
    return id;
  }
  // The slot of `key`, whose hash is `hash`: the one holding its node, or the
  // empty one where it belongs.
  std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
  // Doubles the table (at least 64 slots).
  void Grow();
  std::size_t SlotCount() const { return slot_count_; }
  // Copies `key` then `text` into a block; returns where they start.
  const char* Store(std::string_view key, std::string_view text);

  StableArray<Node> nodes_;
  // Blocks filled in order. Clear empties them all.
  std::vector<Block> blocks_;
  std::size_t block_ = 0;  // the block being filled
  // A slot holds 0 when empty, else the low 32 bits of its key's hash (which
  // place it, and spare most key comparisons) above the node's id + 1. The
  // size is a power of two and at least twice the number of nodes.
  PageBuffer slot_buffer_;
  std::uint64_t* slots_ = nullptr;
  std::size_t slot_count_ = 0;
};

}  // namespace agendia::platform
