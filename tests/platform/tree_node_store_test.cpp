#include "platform/tree_node_store.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::platform {
namespace {

using namespace std::string_view_literals;

constexpr int kNone = TreeNodeStore::kNone;
constexpr std::size_t kMiB = std::size_t{1} << 20;

// Locates `key` and inserts it with `text`: the new id, or kNone for a key
// already there.
int Add(TreeNodeStore& store, std::string_view key, std::string_view text) {
  return store.Insert(store.Locate(key), text);
}

std::string KeyOf(int i) { return "memo-" + std::to_string(i) + "-0123456789abcdef0123456789"; }

TEST(TreeNodeStore, GivesDenseIdsInInsertionOrderAndKeepsKeyAndText) {
  TreeNodeStore store;
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Find("a"), kNone);  // nothing added yet: no table at all

  EXPECT_EQ(Add(store, "b", "second letter"), 0);
  EXPECT_EQ(Add(store, "a", "first letter"), 1);
  EXPECT_EQ(store.AddUnindexed("c", "not indexed"), 2);
  EXPECT_EQ(Add(store, "d", ""), 3);
  EXPECT_EQ(store.Count(), 4);

  EXPECT_EQ(store.Key(0), "b");
  EXPECT_EQ(store.Text(0), "second letter");
  EXPECT_EQ(store.Key(1), "a");
  EXPECT_EQ(store.Text(1), "first letter");
  EXPECT_EQ(store.Key(2), "c");
  EXPECT_EQ(store.Text(2), "not indexed");
  EXPECT_EQ(store.Key(3), "d");
  EXPECT_EQ(store.Text(3), "");
  EXPECT_EQ(store.Find("b"), 0);
  EXPECT_EQ(store.Find("a"), 1);
  EXPECT_EQ(store.Find("d"), 3);
}

TEST(TreeNodeStore, FindsAKeyAlreadyThereAndInsertsNothingForIt) {
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "key", "first"), 0);

  const TreeNodeStore::Place again = store.Locate("key");
  EXPECT_EQ(again.found(), 0);
  EXPECT_EQ(store.Insert(again, "second"), kNone);
  EXPECT_EQ(store.Count(), 1);
  EXPECT_EQ(store.Text(0), "first");

  // Keys are compared whole and exactly.
  EXPECT_EQ(store.Locate("Key").found(), kNone);
  EXPECT_EQ(store.Locate("ke").found(), kNone);
  EXPECT_EQ(store.Locate("key ").found(), kNone);
  EXPECT_EQ(Add(store, "ke"sv, "prefix"), 1);
  EXPECT_EQ(Add(store, "key\0x"sv, "with a NUL"), 2);
  EXPECT_EQ(store.Find("key"), 0);
  EXPECT_EQ(store.Find("ke"), 1);
  EXPECT_EQ(store.Find("key\0x"sv), 2);
  EXPECT_EQ(Add(store, "key\0x"sv, "again"), kNone);
}

TEST(TreeNodeStore, APlaceLeavesFindWorkingUntilTheInsert) {
  // As a tree does it: locate the new key, find its parent, then insert.
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "parent", "group"), 0);
  const TreeNodeStore::Place place = store.Locate("child");
  EXPECT_EQ(place.found(), kNone);
  EXPECT_EQ(store.Find("parent"), 0);
  EXPECT_EQ(store.Find("child"), kNone);
  EXPECT_EQ(store.Insert(place, "memo"), 1);
  EXPECT_EQ(store.Find("child"), 1);
}

TEST(TreeNodeStore, FindsEveryKeyAfterTheTableHasGrownManyTimes) {
  constexpr int kCount = 100'000;
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "first", "added before any growth"), 0);
  const std::string_view first_text = store.Text(0);
  for (int i = 1; i < kCount; ++i) {
    ASSERT_EQ(Add(store, KeyOf(i), "text " + std::to_string(i)), i);
  }
  ASSERT_EQ(store.Count(), kCount);

  // What was stored never moves.
  EXPECT_EQ(store.Key(0), "first");
  EXPECT_EQ(store.Text(0).data(), first_text.data());
  EXPECT_EQ(first_text, "added before any growth");
  EXPECT_EQ(store.Find("first"), 0);
  for (int i = 1; i < kCount; ++i) {
    ASSERT_EQ(store.Find(KeyOf(i)), i);
    ASSERT_EQ(store.Key(i), KeyOf(i));
    ASSERT_EQ(store.Text(i), "text " + std::to_string(i));
  }
  for (int i = 1; i < kCount; i += 997) {
    EXPECT_EQ(store.Locate(KeyOf(i)).found(), i);
  }
  EXPECT_EQ(store.Find(KeyOf(kCount)), kNone);
  EXPECT_EQ(store.Find("memo-"), kNone);
  EXPECT_EQ(store.Find(""), kNone);
}

TEST(TreeNodeStore, TakesTheEmptyKeyLikeAnyOther) {
  TreeNodeStore store;
  EXPECT_EQ(Add(store, "", "no key"), 0);
  EXPECT_EQ(store.Find(""), 0);
  EXPECT_EQ(store.Key(0), "");
  EXPECT_EQ(store.Text(0), "no key");
  EXPECT_EQ(Add(store, "", "no key again"), kNone);
  EXPECT_EQ(store.Count(), 1);
}

TEST(TreeNodeStore, NeverFindsAnUnindexedNodeNorClashesWithIt) {
  TreeNodeStore store;
  EXPECT_EQ(store.AddUnindexed("", "first"), 0);
  EXPECT_EQ(store.AddUnindexed("", "second"), 1);
  EXPECT_EQ(store.AddUnindexed("shared", "unindexed"), 2);
  EXPECT_EQ(store.Find(""), kNone);
  EXPECT_EQ(store.Find("shared"), kNone);

  EXPECT_EQ(Add(store, "shared", "indexed"), 3);
  EXPECT_EQ(store.Find("shared"), 3);
  EXPECT_EQ(Add(store, "", "indexed empty"), 4);
  EXPECT_EQ(store.Find(""), 4);
  EXPECT_EQ(store.Text(1), "second");
}

// Unindexed nodes take ids as well, so after many of them the ids of keyed
// nodes are large for the few keys in the table: each must still be found,
// and its duplicate refused.
TEST(TreeNodeStore, KeyedNodesAfterManyUnindexedOnesAreFoundAndTheirDuplicatesRefused) {
  for (const int unindexed : {63, 64, 65, 1000, 70'000}) {
    SCOPED_TRACE(unindexed);
    TreeNodeStore store;
    for (int i = 0; i < unindexed; ++i) ASSERT_EQ(store.AddUnindexed("", "x"), i);
    for (int k = 0; k < 3; ++k) {
      const int id = Add(store, KeyOf(k), "keyed");
      ASSERT_EQ(id, unindexed + k);
      EXPECT_EQ(store.Find(KeyOf(k)), id);
      EXPECT_EQ(Add(store, KeyOf(k), "again"), kNone);
      EXPECT_EQ(store.Count(), unindexed + k + 1);
    }
    for (int k = 0; k < 3; ++k) EXPECT_EQ(store.Key(store.Find(KeyOf(k))), KeyOf(k));
  }
}

TEST(TreeNodeStore, ClearForgetsEveryNodeAndTheNextFillReusesItsMemory) {
  constexpr int kCount = 50'000;
  TreeNodeStore store;
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(Add(store, KeyOf(i), "before"), i);
  const std::size_t capacity = store.CharCapacity();
  const char* const first_chars = store.Text(0).data();
  EXPECT_GE(capacity, kMiB);

  store.Clear();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Find(KeyOf(0)), kNone);
  EXPECT_EQ(store.Find(KeyOf(kCount - 1)), kNone);
  EXPECT_EQ(store.CharCapacity(), capacity);

  // Ids start again at 0; the same fill goes into the same blocks.
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(Add(store, KeyOf(i), "after!"), i);
  EXPECT_EQ(store.CharCapacity(), capacity);
  EXPECT_EQ(store.Text(0).data(), first_chars);
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ(store.Find(KeyOf(i)), i);
    ASSERT_EQ(store.Text(i), "after!");
  }

  // A different, smaller fill after another Clear.
  store.Clear();
  EXPECT_EQ(Add(store, "only", "one"), 0);
  EXPECT_EQ(store.Count(), 1);
  EXPECT_EQ(store.Find("only"), 0);
  EXPECT_EQ(store.Find(KeyOf(1)), kNone);
}

TEST(TreeNodeStore, StoresTextsLongerThanABlockWhole) {
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "small", "before"), 0);
  const std::string_view small_text = store.Text(0);
  const std::string huge(3 * kMiB + 7, 'x');
  std::string varied = huge;
  for (std::size_t i = 0; i < varied.size(); i += 4096) varied[i] = static_cast<char>('a' + i % 26);

  ASSERT_EQ(Add(store, "huge", varied), 1);
  ASSERT_EQ(Add(store, "after", "small again"), 2);
  ASSERT_EQ(Add(store, "huge too", huge), 3);

  EXPECT_EQ(store.Text(1).size(), varied.size());
  EXPECT_TRUE(store.Text(1) == varied);
  EXPECT_TRUE(store.Text(3) == huge);
  EXPECT_EQ(store.Key(1), "huge");
  EXPECT_EQ(store.Text(2), "small again");
  EXPECT_EQ(store.Text(0).data(), small_text.data());
  EXPECT_EQ(small_text, "before");
  EXPECT_EQ(store.Find("huge"), 1);
  EXPECT_EQ(store.Find("huge too"), 3);
  EXPECT_GE(store.CharCapacity(), 2 * huge.size());

  // Refilled alike after Clear, the store needs no new block.
  const std::size_t capacity = store.CharCapacity();
  store.Clear();
  ASSERT_EQ(Add(store, "small", "before"), 0);
  ASSERT_EQ(Add(store, "huge", varied), 1);
  ASSERT_EQ(Add(store, "after", "small again"), 2);
  ASSERT_EQ(Add(store, "huge too", huge), 3);
  EXPECT_EQ(store.CharCapacity(), capacity);
  EXPECT_TRUE(store.Text(1) == varied);
  EXPECT_TRUE(store.Text(3) == huge);
}

// A record too large for the first block leaves it empty after a Clear:
// every node after it must still be found where it is.
TEST(TreeNodeStore, FindsEveryNodeWhenARefillLeavesABlockEmpty) {
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "only", "small"), 0);
  store.Clear();
  const std::string large(100'000, 'L');  // more than the first block holds
  ASSERT_EQ(Add(store, "large", large), 0);
  constexpr int kCount = 200;  // enough for the table to grow
  for (int i = 1; i < kCount; ++i) ASSERT_EQ(Add(store, KeyOf(i), "text " + std::to_string(i)), i);
  EXPECT_TRUE(store.Text(0) == large);
  EXPECT_EQ(store.Find("large"), 0);
  for (int i = 1; i < kCount; ++i) {
    ASSERT_EQ(store.Key(i), KeyOf(i));
    ASSERT_EQ(store.Text(i), "text " + std::to_string(i));
    ASSERT_EQ(store.Find(KeyOf(i)), i);
  }
}

// Keys in the form of a database-generated identifier are kept as the 16
// bytes their digits stand for; every key must still come back exactly as
// given, and differ from every other key, whatever form it is kept in.
TEST(TreeNodeStore, GivesBackEveryKeyExactlyWhateverFormItIsKeptIn) {
  const std::vector<std::string> keys = {
      "0F8FAD5B-D9CB-469F-A165-70867728950E",    // an identifier in upper case
      "0f8fad5b-d9cb-469f-a165-70867728950e",    // the same in lower case: another key
      "0f8fad5b-D9CB-469f-a165-70867728950e",    // both cases: kept as text
      "12345678-9012-3456-7890-123456789012",    // digits only
      "{0F8FAD5B-D9CB-469F-A165-70867728950E}",  // in braces
      "0F8FAD5B-D9CB-469F-A165-70867728950",     // a digit short
      "0F8FAD5B-D9CB-469F-A165-70867728950EF",   // a digit too many
      "0F8FAD5BD-9CB-469F-A165-70867728950E",    // a dash out of place
      "0F8FAD5B-D9CB-469F-A165-70867728950G",    // not a hex digit
      "0F8FAD5B D9CB 469F A165 70867728950E",    // spaces for dashes
      "0F8FAD5BD9CB469FA16570867728950E",        // no dashes
      "00000000-0000-0000-0000-000000000000",
      "ffffffff-ffff-ffff-ffff-ffffffffffff",
      "",
      std::string(1000, 'k'),  // longer than the buffer of a lookup
      std::string("0F8FAD5B-D9CB-469F-A165-70867728950\0", 36),
  };
  TreeNodeStore store;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(keys[i]);
    ASSERT_EQ(Add(store, keys[i], "text " + std::to_string(i)), static_cast<int>(i));
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(keys[i]);
    const int id = static_cast<int>(i);
    EXPECT_EQ(store.Key(id), keys[i]);
    EXPECT_EQ(store.Text(id), "text " + std::to_string(i));
    EXPECT_EQ(store.Find(keys[i]), id);
    EXPECT_EQ(store.Locate(keys[i]).found(), id);
  }
  EXPECT_EQ(store.Find("0F8FAD5B-D9CB-469F-A165-70867728950D"), kNone);
  EXPECT_EQ(store.Find("0f8fad5b-d9cb-469f-a165-70867728950E"), kNone);

  // An unindexed node keeps its identifier too, and clashes with none.
  const int unindexed = store.AddUnindexed(keys[0], "unindexed");
  EXPECT_EQ(store.Key(unindexed), keys[0]);
  EXPECT_EQ(store.Text(unindexed), "unindexed");
  EXPECT_EQ(store.Find(keys[0]), 0);
}

// A list of a million memos, keyed by identifiers in both letter cases: the
// table grows many times, and no key is lost or confused with another.
TEST(TreeNodeStore, FindsAMillionIdentifierKeysAfterTheTableHasGrown) {
  constexpr int kCount = 1'000'000;
  const auto identifier = [](int i) {
    char key[40];
    std::snprintf(key, sizeof key, i % 2 ? "%08x-%04x-4%03x-8%03x-%012x" : "%08X-%04X-4%03X-8%03X-%012X",
                  static_cast<unsigned>(i) * 2654435761u, i & 0xFFFF, i % 0xFFF, (i / 7) % 0xFFF,
                  static_cast<unsigned>(i));
    return std::string(key);
  };
  TreeNodeStore store;
  ASSERT_EQ(Add(store, "rtOne", "group"), 0);
  for (int i = 1; i < kCount; ++i) ASSERT_EQ(Add(store, identifier(i), "memo"), i);
  for (int i = 1; i < kCount; ++i) {
    const std::string key = identifier(i);
    ASSERT_EQ(store.Find(key), i) << key;
    ASSERT_EQ(store.Key(i), key);
  }
  EXPECT_EQ(store.Find("rtOne"), 0);
  EXPECT_EQ(store.Text(kCount - 1), "memo");
  std::string other_case = identifier(1);
  for (char& c : other_case) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(store.Find(other_case), kNone) << other_case;
  EXPECT_EQ(Add(store, identifier(kCount - 1), "again"), kNone);
}

// Keys found lately are answered without the table; that must never outlive
// the nodes they were found for, nor mix up keys that differ only slightly.
TEST(TreeNodeStore, AKeyFoundLatelyIsFoundAtItsNodeAfterAClearAndARefill) {
  TreeNodeStore store;
  // More parents than are remembered, each looked up for a child in turn.
  std::vector<std::string> parents;
  for (int i = 0; i < 20; ++i) parents.push_back("rt" + std::to_string(i));
  for (std::size_t i = 0; i < parents.size(); ++i) {
    ASSERT_EQ(Add(store, parents[i], "group"), static_cast<int>(i));
  }
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < parents.size(); ++i) {
      ASSERT_EQ(store.Find(parents[i]), static_cast<int>(i)) << parents[i];
    }
  }
  EXPECT_EQ(store.Find("rt1"), 1);
  EXPECT_EQ(store.Find("rt"), kNone);   // a prefix of a key found lately
  EXPECT_EQ(store.Find("rt10"), 10);
  EXPECT_EQ(store.Find("rt100"), kNone);
  EXPECT_EQ(store.Find("RT1"), kNone);

  // After Clear the same keys name other nodes, or none.
  store.Clear();
  EXPECT_EQ(store.Find("rt1"), kNone);
  EXPECT_EQ(Add(store, "rt3", "now first"), 0);
  EXPECT_EQ(Add(store, "rt1", "now second"), 1);
  EXPECT_EQ(store.Find("rt1"), 1);
  EXPECT_EQ(store.Find("rt3"), 0);
  EXPECT_EQ(store.Find("rt0"), kNone);
  EXPECT_EQ(store.Text(store.Find("rt1")), "now second");
}

}  // namespace
}  // namespace agendia::platform
