// The tree node store against a plain model: any sequence of inserts,
// unindexed adds, lookups and clears, mirrored in a std::map of the keyed
// nodes and a vector of every node. After each step the store must agree with
// the model: the same ids, Find finding exactly the keyed nodes, a key
// already there refused, every key and text given back as added.
//
// Input, one step after another: an operation byte, then its operands.
//   0 key text   Insert (Locate, then Insert)
//   1 key text   AddUnindexed
//   2 key        Find
//   3            Clear
//   4 n          n * 16 unindexed nodes with the empty key
//   5 16 bytes   Insert of an identifier key (8-4-4-4-12 hex digits), the
//                letter case from the operation byte's high bit
//   6            ReleaseUnusedPages
// A key or text is a length byte and that many bytes.

#include "platform/tree_node_store.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using agendia::platform::TreeNodeStore;

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool empty() const { return at >= size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  std::string Text() {
    const size_t length = Byte();
    const size_t taken = std::min(length, size - std::min(at, size));
    std::string text(reinterpret_cast<const char*>(data) + at, taken);
    at += taken;
    return text;
  }
};

struct Model {
  std::map<std::string, int> keyed;
  std::vector<std::pair<std::string, std::string>> nodes;
};

void Fail(const char* what, const std::string& key) {
  std::fprintf(stderr, "tree node store disagrees with the model: %s (key of %zu bytes)\n", what,
               key.size());
  std::abort();
}

void Check(const TreeNodeStore& store, const Model& model, int id) {
  if (store.Key(id) != model.nodes[static_cast<size_t>(id)].first) Fail("Key", model.nodes[id].first);
  if (store.Text(id) != model.nodes[static_cast<size_t>(id)].second) Fail("Text", model.nodes[id].first);
}

void Insert(TreeNodeStore& store, Model& model, const std::string& key, const std::string& text) {
  const TreeNodeStore::Place place = store.Locate(key);
  const auto known = model.keyed.find(key);
  const int expected = known == model.keyed.end() ? TreeNodeStore::kNone : known->second;
  if (place.found() != expected) Fail("Locate", key);
  const int id = store.Insert(place, text);
  if (known != model.keyed.end()) {
    if (id != TreeNodeStore::kNone) Fail("Insert of a key already there", key);
    return;
  }
  if (id != static_cast<int>(model.nodes.size())) Fail("Insert id", key);
  model.keyed[key] = id;
  model.nodes.emplace_back(key, text);
}

std::string IdentifierKey(Input& in, bool lower) {
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string key;
  for (int i = 0; i < 16; ++i) {
    const uint8_t byte = in.Byte();
    if (i == 4 || i == 6 || i == 8 || i == 10) key += '-';
    key += digits[byte >> 4];
    key += digits[byte & 0xF];
  }
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  TreeNodeStore store;
  Model model;
  for (int step = 0; step < 256 && !in.empty(); ++step) {
    const uint8_t op = in.Byte();
    switch (op % 7) {
      case 0: {
        const std::string key = in.Text();
        Insert(store, model, key, in.Text());
        break;
      }
      case 1: {
        const std::string key = in.Text();
        const std::string text = in.Text();
        if (store.AddUnindexed(key, text) != static_cast<int>(model.nodes.size())) Fail("AddUnindexed id", key);
        model.nodes.emplace_back(key, text);
        break;
      }
      case 2: {
        const std::string key = in.Text();
        const auto known = model.keyed.find(key);
        if (store.Find(key) != (known == model.keyed.end() ? TreeNodeStore::kNone : known->second)) {
          Fail("Find", key);
        }
        break;
      }
      case 3:
        store.Clear();
        model = Model();
        break;
      case 4: {
        const int count = in.Byte() * 16;
        for (int i = 0; i < count; ++i) {
          if (store.AddUnindexed("", "u") != static_cast<int>(model.nodes.size())) Fail("AddUnindexed id", "");
          model.nodes.emplace_back("", "u");
        }
        break;
      }
      case 5:
        Insert(store, model, IdentifierKey(in, (op & 0x80) != 0), "identified");
        break;
      case 6:
        store.ReleaseUnusedPages();
        break;
    }
    if (store.Count() != static_cast<int>(model.nodes.size())) Fail("Count", "");
    // Every keyed node is found at its id, whatever was added around it.
    for (const auto& [key, id] : model.keyed) {
      if (store.Find(key) != id) Fail("Find after a step", key);
    }
    if (!model.nodes.empty()) {
      Check(store, model, 0);
      Check(store, model, static_cast<int>(model.nodes.size()) - 1);
    }
  }
  for (int id = 0; id < static_cast<int>(model.nodes.size()); ++id) Check(store, model, id);
  return 0;
}
