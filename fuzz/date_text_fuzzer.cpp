// The date-text reader: any text either reads as a valid date and time, which
// written out and read again gives the same value, or does not read at all.

#include "base/date_text.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using agendia::base::DateTime;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<DateTime> read = agendia::base::ParseDateTime(text);
  const std::optional<agendia::base::Date> date = agendia::base::ParseDate(text);
  if (read.has_value() != date.has_value()) std::abort();
  if (!read) return 0;
  if (!agendia::base::IsValidDate(read->date.year, read->date.month, read->date.day)) std::abort();
  if (read->hour < 0 || read->hour > 23 || read->minute < 0 || read->minute > 59 ||
      read->second < 0 || read->second > 59) {
    std::abort();
  }
  if (!(date == read->date)) std::abort();
  const std::optional<DateTime> again =
      agendia::base::ParseDateTime(agendia::base::FormatDateTime(*read));
  if (!again || !(*again == *read)) std::abort();
  (void)agendia::base::Weekday(read->date);
  (void)agendia::base::DaysBetween(read->date, DateTime{}.date.year ? read->date : read->date);
  return 0;
}
