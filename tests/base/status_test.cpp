#include <agendia/status.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace agendia {
namespace {

StatusOr<std::string> MissingTable() {
  return Status::Error(hr::kFail, "no such table: ZA_Message");
}

TEST(StatusOrTest, ValueOfASuccessGivesTheValueEveryWay) {
  StatusOr<std::string> found = std::string("Dentist");
  const StatusOr<std::string>& read_only = found;
  EXPECT_EQ(found.value(), "Dentist");
  EXPECT_EQ(read_only.value(), "Dentist");
  EXPECT_EQ(std::move(found).value(), "Dentist");
}

TEST(StatusOrDeathTest, ValueOfAnErrorEndsTheProcessNamingTheError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        StatusOr<std::string> failed = MissingTable();
        (void)failed.value();
      },
      "StatusOr::value\\(\\) on an error: no such table: ZA_Message \\(-2147467259\\)");
  EXPECT_DEATH(
      {
        const StatusOr<std::string> failed = MissingTable();
        (void)failed.value();
      },
      "no such table: ZA_Message");
  EXPECT_DEATH((void)MissingTable().value(), "no such table: ZA_Message");
}

}  // namespace
}  // namespace agendia
