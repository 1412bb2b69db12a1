#include "memo/due_rule.h"
#include "memo/value_conversion.h"

#include <gtest/gtest.h>

namespace agendia::memo {
namespace {

struct DueCase {
  const char* current_day;
  const char* memo_date;
  int16_t kind;
  bool due;
};

class DueRuleTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueRuleTest, DecidesWhetherTheMemoIsDue) {
  const DueCase& c = GetParam();
  auto due = IsDueOn(c.current_day, c.memo_date, c.kind);
  ASSERT_TRUE(due.ok()) << due.status().description();
  EXPECT_EQ(*due, c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Weekly, DueRuleTest,
    ::testing::Values(DueCase{"2024-01-08", "2024-01-01", 2, true},
                      DueCase{"2024-01-01", "2024-01-01", 2, true},
                      DueCase{"2023-12-25", "2024-01-01", 2, true},  // before its date
                      DueCase{"2024-01-09", "2024-01-01", 2, false},
                      DueCase{"2025-12-29", "2024-01-01", 2, true},  // across a year end
                      DueCase{"2024-03-07", "2024-02-29", 2, true}));

INSTANTIATE_TEST_SUITE_P(
    Monthly, DueRuleTest,
    ::testing::Values(DueCase{"2024-03-31", "2024-01-31", 3, true},
                      DueCase{"2024-04-30", "2024-01-31", 3, false},  // no carrying to the end
                      DueCase{"2024-02-29", "2024-01-31", 3, false},
                      DueCase{"2023-07-31", "2024-01-31", 3, true},  // before its date
                      DueCase{"2024-03-30", "2024-01-31", 3, false}));

INSTANTIATE_TEST_SUITE_P(
    Quarterly, DueRuleTest,
    ::testing::Values(DueCase{"2025-02-15", "2024-11-15", 4, true},
                      DueCase{"2025-05-15", "2024-11-15", 4, true},
                      DueCase{"2025-08-15", "2024-11-15", 4, true},
                      DueCase{"2024-11-15", "2024-11-15", 4, true},
                      DueCase{"2024-02-15", "2024-11-15", 4, true},
                      DueCase{"2025-01-15", "2024-11-15", 4, false},
                      DueCase{"2025-02-14", "2024-11-15", 4, false},
                      DueCase{"2024-12-10", "2024-03-10", 4, true},  // nine months apart
                      DueCase{"2024-04-10", "2024-03-10", 4, false}));

INSTANTIATE_TEST_SUITE_P(
    Yearly, DueRuleTest,
    ::testing::Values(DueCase{"2024-06-15", "2024-06-15", 5, true},
                      DueCase{"2025-06-15", "2024-06-15", 5, true},
                      DueCase{"2025-06-16", "2024-06-15", 5, true},  // same month
                      DueCase{"2025-07-15", "2024-06-15", 5, true},  // same day of the month
                      DueCase{"2025-07-16", "2024-06-15", 5, false},
                      DueCase{"2023-06-15", "2024-06-15", 5, false},  // an earlier year
                      DueCase{"2025-02-28", "2024-02-29", 5, true},
                      DueCase{"2025-03-29", "2024-02-29", 5, true},
                      DueCase{"2025-03-01", "2024-02-29", 5, false}));

INSTANTIATE_TEST_SUITE_P(
    DateForms, DueRuleTest,
    ::testing::Values(DueCase{"2024/1/8", "2024-01-01", 2, true},           // slashes
                      DueCase{"2024-01-08 23:59:59", "2024-01-01", 2, true},  // a time is ignored
                      DueCase{" 2024-01-08 ", "2024-01-01 09:30", 2, true}));

TEST(DueRuleKindsTest, OtherKindsAreNeverDueAndReadNoDate) {
  for (int16_t kind : {int16_t(0), int16_t(1), int16_t(6), int16_t(7), int16_t(-1)}) {
    SCOPED_TRACE(kind);
    auto due = IsDueOn("not a date", "neither", kind);
    ASSERT_TRUE(due.ok());
    EXPECT_FALSE(*due);
  }
}

TEST(DueRuleKindsTest, ATextThatIsNotADateFailsAsATypeMismatch) {
  const std::pair<const char*, const char*> cases[] = {
      {"tomorrow", "2024-01-01"}, {"2024-01-01", ""}, {"2024-02-30", "2024-01-01"},
      {"01/08/2024", "2024-01-01"}};
  for (const auto& [current_day, memo_date] : cases) {
    SCOPED_TRACE(current_day);
    for (int16_t kind = 2; kind <= 5; ++kind) {
      auto due = IsDueOn(current_day, memo_date, kind);
      ASSERT_FALSE(due.ok());
      EXPECT_EQ(ErrorNumber(due.status()), 13);
    }
  }
}

}  // namespace
}  // namespace agendia::memo
