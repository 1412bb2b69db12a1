#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace agendia::base {

// A calendar date of the proleptic Gregorian calendar.
struct Date {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  friend bool operator==(const Date&, const Date&) = default;
};

// A date with a time of day.
struct DateTime {
  Date date;
  int hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

bool IsValidDate(int year, int month, int day);

// Reads a date, optionally followed by a time of day, from text. Accepted:
// "yyyy-mm-dd" and "yyyy/mm/dd" (month and day with one or two digits, year
// 100-9999), then optionally a space or "T" and "h:mm" or "h:mm:ss", the
// seconds optionally with 1 to 7 digits of a fraction, which are dropped
// (SQL Server's "2024-03-01 09:30:00.000").
// Surrounding spaces are ignored. Nothing for any other text or an impossible
// date or time.
std::optional<DateTime> ParseDateTime(std::string_view text);

// The date part of ParseDateTime.
std::optional<Date> ParseDate(std::string_view text);

// Monday = 1 ... Sunday = 7.
int Weekday(const Date& date);

// Days from `from` to `to`: negative when `to` lies before `from`.
long DaysBetween(const Date& from, const Date& to);

// "yyyy-mm-dd".
std::string FormatDate(const Date& date);
// "yyyy-mm-dd hh:mm:ss".
std::string FormatDateTime(const DateTime& value);

// Removes leading and trailing spaces (U+0020 only, as the host's Trim does).
std::string Trim(std::string_view text);

// Lower-cases the ASCII letters; every other byte is kept as it is.
std::string LowerCase(std::string_view text);

}  // namespace agendia::base
