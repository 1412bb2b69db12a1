#include "base/date_text.h"

#include <gtest/gtest.h>

namespace agendia::base {
namespace {

TEST(ParseDateTime, ReadsTheAcceptedFormsAndRejectsEverythingElse) {
  struct Case {
    const char* text;
    std::optional<DateTime> expected;
  };
  const Case cases[] = {
      {"2024-03-01", DateTime{{2024, 3, 1}, 0, 0, 0}},
      {"2024/3/1", DateTime{{2024, 3, 1}, 0, 0, 0}},
      {" 2024-03-01 ", DateTime{{2024, 3, 1}, 0, 0, 0}},
      {"2024-03-01 09:30:00", DateTime{{2024, 3, 1}, 9, 30, 0}},
      {"2024-03-01 9:05", DateTime{{2024, 3, 1}, 9, 5, 0}},
      {"2024-03-01T23:59:59", DateTime{{2024, 3, 1}, 23, 59, 59}},
      {"2024-02-29", DateTime{{2024, 2, 29}, 0, 0, 0}},
      {"2023-02-29", std::nullopt},
      {"2024-13-01", std::nullopt},
      {"2024-00-10", std::nullopt},
      {"2024-04-31", std::nullopt},
      {"2024-03-01 24:00", std::nullopt},
      {"2024-03-01 12:60", std::nullopt},
      {"2024-03/01", std::nullopt},
      {"01-03-2024", std::nullopt},
      {"not a date", std::nullopt},
      {"", std::nullopt},
      {"2024-03-01x", std::nullopt},
      // How SQL Server's datetime and datetime2 read as text.
      {"2024-03-01 09:30:00.000", DateTime{{2024, 3, 1}, 9, 30, 0}},
      {"2024-03-01T09:30:00.1234567", DateTime{{2024, 3, 1}, 9, 30, 0}},
      {"2024-03-01 09:30:00.", std::nullopt},
      {"2024-03-01 09:30:00.12345678", std::nullopt},
      {"2024-03-01 09:30.000", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseDateTime(c.text), c.expected);
  }
}

TEST(Weekday, CountsFromMondayAsOne) {
  struct Case {
    Date date;
    int weekday;
  };
  const Case cases[] = {
      {{2024, 1, 1}, 1},  {{2024, 3, 1}, 5},  {{2024, 3, 2}, 6}, {{2024, 3, 3}, 7},
      {{2000, 2, 29}, 2}, {{1969, 12, 31}, 3}, {{1900, 1, 1}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FormatDate(c.date));
    EXPECT_EQ(Weekday(c.date), c.weekday);
  }
}

TEST(DaysBetween, IsSignedAndCrossesYearsAndLeapDays) {
  EXPECT_EQ(DaysBetween({2024, 1, 1}, {2024, 1, 8}), 7);
  EXPECT_EQ(DaysBetween({2024, 1, 1}, {2023, 12, 25}), -7);
  EXPECT_EQ(DaysBetween({2024, 2, 28}, {2024, 3, 1}), 2);
  EXPECT_EQ(DaysBetween({2023, 2, 28}, {2023, 3, 1}), 1);
  EXPECT_EQ(DaysBetween({1999, 12, 31}, {2000, 1, 1}), 1);
}

TEST(FormatDateTime, PadsEveryField) {
  EXPECT_EQ(FormatDateTime(DateTime{{2024, 3, 1}, 7, 5, 0}), "2024-03-01 07:05:00");
  EXPECT_EQ(FormatDate(Date{987, 1, 2}), "0987-01-02");
}

TEST(Trim, RemovesOnlySpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\tx\t"), "\tx\t");
}

TEST(LowerCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(LowerCase("EN-US"), "en-us");
  EXPECT_EQ(LowerCase("Zh-Cn"), "zh-cn");
  EXPECT_EQ(LowerCase("星期A"), "星期a");
}

}  // namespace
}  // namespace agendia::base
