// The date-text reader: any text either reads as a valid date and time, which
// written out and read again gives the same value, or does not read at all.

#include "platform/date_text.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using agendia::platform::DateTime;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<DateTime> read = agendia::platform::ParseDateTime(text);
  const std::optional<agendia::platform::Date> date = agendia::platform::ParseDate(text);
  if (read.has_value() != date.has_value()) std::abort();
  if (!read) return 0;
  if (!agendia::platform::IsValidDate(read->date.year, read->date.month, read->date.day)) std::abort();
  if (read->hour < 0 || read->hour > 23 || read->minute < 0 || read->minute > 59 ||
      read->second < 0 || read->second > 59) {
    std::abort();
  }
  if (!(date == read->date)) std::abort();
  const std::optional<DateTime> again =
      agendia::platform::ParseDateTime(agendia::platform::FormatDateTime(*read));
  if (!again || !(*again == *read)) std::abort();
  (void)agendia::platform::Weekday(read->date);
  (void)agendia::platform::DaysBetween(read->date, DateTime{}.date.year ? read->date : read->date);
  return 0;
}
