#pragma once

#include "platform/page_buffer.h"
#include "platform/stable_array.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
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
// - Key gives back the key exactly as added. The view that Text returns stays
//   valid, and keeps pointing at the same characters, until Clear (or the
//   store's end): the characters are copied once into blocks that never move
//   (64 KiB at first, each twice the one before, then large pages).
// - Clear removes every node but keeps all memory (character blocks, lookup
//   table, per-node records) for reuse: refilling the store with the same
//   nodes allocates nothing, and the lookup table is already of the size
//   the fill needs.
// - Growing never moves a node's record or characters; only the lookup table
//   is rebuilt, twice as large, when it would become more than 4/5 full.
//
// Memory is what a list of a million memos can afford, about 10 bytes per
// node beside its text:
// - a node is its record in a block, and a quarter of a byte for where the
//   record of every 16th node starts; the record holds
//   the key's length and form, the key, the text's length and the text. A key
//   in the form of a database-generated identifier (36 characters, hex digits
//   of one letter case in groups of 8-4-4-4-12 joined by dashes) is kept as
//   its 16 bytes, and given back in its own letter case;
// - the lookup table is an open-addressing table of 4-byte slots, at most
//   4/5 full: each slot holds a node's id and, in the bits the id leaves free,
//   more bits of its key's hash, which spare almost every key comparison of a
//   probe that passes other keys.
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
    Place(std::size_t slot, std::uint32_t tag, int found) : slot_(slot), tag_(tag), found_(found) {}
    std::size_t slot_;
    std::uint32_t tag_;
    int found_;
  };

  // Looks `key` up for an Insert, making room in the table for one more key.
  // The place is good for one Insert with no other change to the store (no
  // Locate, Insert, AddUnindexed or Clear) in between. Find, Key and Text may
  // be called in between.
  Place Locate(std::string_view key);
  // Adds a node with the key of `place` and `text`, and returns its id. When
  // the place found a node, adds nothing and returns kNone.
  int Insert(const Place& place, std::string_view text);
  // Adds a node that Find never finds, whatever its key; returns its id.
  int AddUnindexed(std::string_view key, std::string_view text);

  // The id of the node added with Insert whose key is `key`, or kNone.
  int Find(std::string_view key) const;
  int Count() const { return count_; }
  // The key and the text of a node; `id` must be below Count().
  std::string Key(int id) const;
  std::string_view Text(int id) const;

  // Removes every node; keeps all memory for the next fill.
  void Clear();
  // Gives back to the system the pages of the character blocks that the
  // nodes do not use: the end of the block being filled, which is a large
  // page resident as a whole, and the blocks a larger fill before Clear
  // left. For the end of a fill; the blocks stay, and take nodes again.
  void ReleaseUnusedPages();
  // The characters the blocks can hold in all, used or not: what a fill may
  // use before the store allocates again.
  std::size_t CharCapacity() const;

 private:
  // A record's start: the block in the high bits, the offset in it in the
  // low ones. No record starts past the first 2 MiB of a block.
  static constexpr unsigned kOffsetBits = 21;
  // Records follow one another in the blocks, so only every 16th node's start
  // is kept, and a node is found from there.
  static constexpr unsigned kAnchorBits = 4;

  // Characters, filled from the start; never reallocated.
  struct Block {
    PageBuffer chars;
    std::size_t size = 0;  // the part in use
  };
  // The stored form of a key: its header, then its bytes.
  struct EncodedKey {
    const char* data;
    std::size_t size;
  };

  // Where the record of node `id` starts: from the anchor of its group of
  // kAnchorEvery nodes, past the records before it.
  const char* RecordOf(int id) const;
  // The size of the record at `record`.
  static std::size_t RecordSize(const char* record);
  // Moves `block` and `offset` from a record to the next one.
  void Step(std::size_t& block, std::size_t& offset) const;
  // The stored form of the key of the record at `record`.
  static EncodedKey KeyOfRecord(const char* record);
  static std::uint64_t HashOf(EncodedKey key);
  // The slot of `key`, whose hash is `hash`: the one holding its node, or the
  // empty one where it belongs.
  std::size_t SlotOf(EncodedKey key, std::uint64_t hash) const;
  std::uint32_t TagOf(std::uint64_t hash) const {
    return id_bits_ >= 32 ? 0 : static_cast<std::uint32_t>(hash >> (32 + id_bits_));
  }
  std::uint32_t TagIn(std::uint32_t slot) const { return id_bits_ >= 32 ? 0 : slot >> id_bits_; }
  std::uint32_t SlotValue(std::uint32_t tag, int id) const {
    return (id_bits_ >= 32 ? 0 : tag << id_bits_) | static_cast<std::uint32_t>(id + 1);
  }
  // The id in a slot, or kNone for an empty one.
  int IdIn(std::uint32_t slot) const {
    return static_cast<int>(slot & IdMask()) - 1;
  }
  std::uint32_t IdMask() const {
    return id_bits_ >= 32 ? ~std::uint32_t{0} : (std::uint32_t{1} << id_bits_) - 1;
  }
  // Doubles the table (at least 64 slots) and enters every indexed node anew.
  void Grow();
  // Stores the record of a node whose key is `key` (stored form) and adds the
  // node; returns its id.
  int Add(EncodedKey key, std::string_view text);

  int count_ = 0;
  // Where the records of nodes 0, 16, 32, ... start: the block in the high
  // bits, the offset in it in the low kOffsetBits.
  StableArray<std::uint32_t> anchors_;
  // Blocks filled in order. Clear empties them all.
  std::vector<Block> blocks_;
  std::size_t block_ = 0;  // the block being filled
  // The stored form of the key Locate looked up last, for the Insert.
  std::string located_;
  // Keys found lately, as asked for, with their ids. A tree is filled child
  // after child of a few parents, each found by its key for every child;
  // until Clear a found key keeps its id, so these answer without hashing
  // or touching the table. Short keys only, so that keeping one never
  // allocates.
  struct Recent {
    std::string key;
    int id = kNone;
  };
  static constexpr std::size_t kRecent = 8;
  static constexpr std::size_t kMaxRecentKey = 15;
  mutable std::array<Recent, kRecent> recent_{};
  mutable std::size_t next_recent_ = 0;
  // A slot holds 0 when empty, else the node's id + 1 in the low id_bits_
  // bits (the table's size is 2^id_bits_) and the top bits of its key's hash
  // above them.
  PageBuffer slot_buffer_;
  std::uint32_t* slots_ = nullptr;
  std::size_t slot_count_ = 0;
  unsigned id_bits_ = 0;
  std::size_t indexed_ = 0;  // nodes in the table
};

}  // namespace agendia::platform
