#include "db/new_id.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace agendia::db {
namespace {

const std::regex kVersion4Id(
    "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

TEST(DbFormatId, WritesUpperCaseHexInGroupsOf8_4_4_4_12) {
  const std::array<unsigned char, 16> bytes = {0x3f, 0x25, 0x04, 0xe0, 0x4f, 0x89, 0x41, 0xd3,
                                               0x9a, 0x0c, 0x03, 0x05, 0xe8, 0x2c, 0x33, 0x01};
  EXPECT_EQ(FormatId(bytes), "3F2504E0-4F89-41D3-9A0C-0305E82C3301");
  EXPECT_EQ(FormatId({}), "00000000-0000-0000-0000-000000000000");
}

TEST(DbNewIdText, GivesDistinctVersion4Ids) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::optional<std::string> id = NewIdText();
    ASSERT_TRUE(id.has_value());
    EXPECT_TRUE(std::regex_match(*id, kVersion4Id)) << *id;
    seen.insert(*id);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

}  // namespace
}  // namespace agendia::db
