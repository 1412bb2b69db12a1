#include "base/date_text.h"

#include <cstdio>

namespace agendia::base {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 (Howard Hinnant's days_from_civil).
long DaysFromCivil(const Date& date) {
  long y = date.year - (date.month <= 2 ? 1 : 0);
  long era = (y >= 0 ? y : y - 399) / 400;
  long yoe = y - era * 400;
  long mp = (date.month + 9) % 12;
  long doy = (153 * mp + 2) / 5 + date.day - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Reads 1 to `max_digits` digits at `pos`; nothing when there is no digit.
std::optional<int> ReadNumber(std::string_view text, size_t& pos, size_t max_digits) {
  size_t start = pos;
  int value = 0;
  while (pos < text.size() && pos - start < max_digits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

  size_t pos = 0;
  size_t year_start = pos;
  auto year = ReadNumber(text, pos, 4);
  if (!year || pos - year_start < 3) return std::nullopt;
  if (pos >= text.size() || (text[pos] != '-' && text[pos] != '/')) return std::nullopt;
  char separator = text[pos++];
  auto month = ReadNumber(text, pos, 2);
  if (!month || pos >= text.size() || text[pos] != separator) return std::nullopt;
  ++pos;
  auto day = ReadNumber(text, pos, 2);
  if (!day || !IsValidDate(*year, *month, *day)) return std::nullopt;

  DateTime result{Date{*year, *month, *day}, 0, 0, 0};
  if (pos == text.size()) return result;

  if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
  ++pos;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  auto hour = ReadNumber(text, pos, 2);
  if (!hour || pos >= text.size() || text[pos] != ':') return std::nullopt;
  ++pos;
  auto minute = ReadNumber(text, pos, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    auto seconds = ReadNumber(text, pos, 2);
    if (!seconds) return std::nullopt;
    second = *seconds;
    // Fractions of a second, as SQL Server writes its datetime values
    // ("09:30:00.000"); a memo's time has whole minutes, so they are dropped.
    if (pos < text.size() && text[pos] == '.') {
      const size_t fraction = ++pos;
      while (pos < text.size() && pos - fraction < 7 && text[pos] >= '0' && text[pos] <= '9') ++pos;
      if (pos == fraction) return std::nullopt;
    }
  }
  if (pos != text.size() || *hour > 23 || *minute > 59 || second > 59) return std::nullopt;
  result.hour = *hour;
  result.minute = *minute;
  result.second = second;
  return result;
}

std::optional<Date> ParseDate(std::string_view text) {
  auto value = ParseDateTime(text);
  if (!value) return std::nullopt;
  return value->date;
}

int Weekday(const Date& date) {
  // 1970-01-01 was a Thursday (4).
  long days = DaysFromCivil(date);
  long weekday = (days + 3) % 7;  // 0 = Monday
  if (weekday < 0) weekday += 7;
  return static_cast<int>(weekday) + 1;
}

long DaysBetween(const Date& from, const Date& to) { return DaysFromCivil(to) - DaysFromCivil(from); }

namespace {
// Writes `value` as exactly `digits` decimal digits (zero-padded) at `out`.
void PutDigits(char* out, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}
}  // namespace

// Formatted by hand: a memo list formats one date per row, and a formatted
// print costs several times the rest of the row.
std::string FormatDate(const Date& date) {
  if (date.year < 0 || date.year > 9999 || date.month < 0 || date.month > 99 || date.day < 0 ||
      date.day > 99) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
  }
  std::string text(10, '-');
  PutDigits(&text[0], date.year, 4);
  PutDigits(&text[5], date.month, 2);
  PutDigits(&text[8], date.day, 2);
  return text;
}

std::string FormatDateTime(const DateTime& value) {
  std::string text = FormatDate(value.date);
  if (value.hour < 0 || value.hour > 99 || value.minute < 0 || value.minute > 99 ||
      value.second < 0 || value.second > 99) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", value.hour, value.minute, value.second);
    return text + buffer;
  }
  const size_t at = text.size();
  text.append(" 00:00:00");
  PutDigits(&text[at + 1], value.hour, 2);
  PutDigits(&text[at + 4], value.minute, 2);
  PutDigits(&text[at + 7], value.second, 2);
  return text;
}

std::string Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return std::string();
  size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& ch : result) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return result;
}

}  // namespace agendia::base
