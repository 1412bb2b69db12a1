#include "memo/due_rule.h"

#include "memo/recurrence.h"
#include "memo/value_conversion.h"

#include <cstdlib>

namespace agendia::memo {

StatusOr<bool> IsDueOn(std::string_view current_day, std::string_view memo_date, int16_t kind) {
  if (kind < kWeekly || kind > kYearly) return false;
  auto today = TextToDate(current_day);
  if (!today.ok()) return today.status();
  auto dated = TextToDate(memo_date);
  if (!dated.ok()) return dated.status();
  return IsDueOn(*today, *dated, kind);
}

bool IsDueOn(const base::Date& d, const base::Date& m, int16_t kind) {
  switch (kind) {
    case kWeekly:
      return base::DaysBetween(d, m) % 7 == 0;
    case kMonthly:
      return m.day == d.day;
    case kQuarterly: {
      if (m.day != d.day) return false;
      return std::abs(m.month - d.month) % 3 == 0;
    }
    case kYearly:
      return (m.day == d.day || m.month == d.month) && d.year >= m.year;
    default:
      return false;
  }
}

}  // namespace agendia::memo
