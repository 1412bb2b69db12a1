#include "memo/due_rule.h"

#include "memo/value_conversion.h"

#include <cstdlib>

namespace agendia::memo {

StatusOr<bool> IsDueOn(std::string_view current_day, std::string_view memo_date, int16_t kind) {
  if (kind < 2 || kind > 5) return false;
  auto today = TextToDate(current_day);
  if (!today.ok()) return today.status();
  auto dated = TextToDate(memo_date);
  if (!dated.ok()) return dated.status();
  return IsDueOn(*today, *dated, kind);
}

bool IsDueOn(const base::Date& d, const base::Date& m, int16_t kind) {
  switch (kind) {
    case 2:
      return base::DaysBetween(d, m) % 7 == 0;
    case 3:
      return m.day == d.day;
    case 4: {
      if (m.day != d.day) return false;
      return std::abs(m.month - d.month) % 3 == 0;
    }
    case 5:
      return (m.day == d.day || m.month == d.month) && d.year >= m.year;
    default:
      return false;
  }
}

}  // namespace agendia::memo
