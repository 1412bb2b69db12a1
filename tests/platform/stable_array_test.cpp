// The growing array whose elements never move, and the page buffers under it.
#include "platform/page_buffer.h"
#include "platform/stable_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace agendia::platform {
namespace {

TEST(StableArray, KeepsOrderAndEveryAddressWhileItGrows) {
  StableArray<int> array;
  EXPECT_TRUE(array.empty());
  std::vector<const int*> addresses;
  for (int i = 0; i < 100'000; ++i) {
    array.push_back(i * 3);
    addresses.push_back(&array[static_cast<std::size_t>(i)]);
  }
  ASSERT_EQ(array.size(), 100'000u);
  for (int i = 0; i < 100'000; ++i) {
    ASSERT_EQ(array[static_cast<std::size_t>(i)], i * 3) << i;
    ASSERT_EQ(&array[static_cast<std::size_t>(i)], addresses[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_EQ(array.back(), 99'999 * 3);

  // The runs visit every element once, in order.
  std::size_t visited = 0;
  bool in_order = true;
  array.ForEachRun([&](const int* first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) in_order = in_order && first[i] == int(visited + i) * 3;
    visited += count;
  });
  EXPECT_EQ(visited, 100'000u);
  EXPECT_TRUE(in_order);
}

TEST(StableArray, ARefillAfterClearUsesTheSameMemory) {
  StableArray<std::uint64_t> array;
  for (std::uint64_t i = 0; i < 5'000; ++i) array.push_back(i);
  const std::uint64_t* first = &array[0];
  const std::uint64_t* last = &array[4'999];

  array.clear();
  EXPECT_EQ(array.size(), 0u);
  for (std::uint64_t i = 0; i < 5'000; ++i) array.push_back(i + 7);

  EXPECT_EQ(&array[0], first);
  EXPECT_EQ(&array[4'999], last);
  EXPECT_EQ(array[0], 7u);
  EXPECT_EQ(array[4'999], 5'006u);
}

TEST(PageBuffer, GivesWritableMemoryOfTheSizeAskedForSmallOrLarge) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096} + 3, PageBuffer::kLargePage * 2 + 5}) {
    SCOPED_TRACE(size);
    PageBuffer buffer(size);
    ASSERT_NE(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), size);
    std::memset(buffer.data(), 0x5a, size);
    EXPECT_EQ(buffer.data()[0], 0x5a);
    EXPECT_EQ(buffer.data()[size - 1], 0x5a);
  }
#if defined(__linux__)
  // Large buffers start on a large page, so that the system can back them
  // with large pages.
  PageBuffer large(PageBuffer::kLargePage);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.data()) % PageBuffer::kLargePage, 0u);
#endif
}

TEST(PageBuffer, MovesOwnership) {
  PageBuffer first(PageBuffer::kLargePage + 1);
  char* const data = first.data();
  data[0] = 'a';
  PageBuffer second(std::move(first));
  EXPECT_EQ(second.data(), data);
  EXPECT_EQ(second.size(), PageBuffer::kLargePage + 1);
  EXPECT_EQ(first.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from is empty
  PageBuffer third(16);
  third = std::move(second);
  EXPECT_EQ(third.data(), data);
  EXPECT_EQ(third.data()[0], 'a');
}

}  // namespace
}  // namespace agendia::platform
