#pragma once

#include "base/date_text.h"

#include <agendia/status.h>

#include <cstdint>
#include <string_view>

namespace agendia::memo {

// Whether a memo of recurrence `kind`, dated `memo_date`, is due on
// `current_day`. Decides the weekly, monthly, quarterly and yearly kinds
// (kWeekly to kYearly of memo/recurrence.h); for every other kind it is
// false without reading the dates, as once and daily memos are decided by the
// tree itself. Only the dates count; a time of day in either text is ignored.
//   weekly     the days between the two dates are a multiple of 7
//   monthly    same day of the month (no carrying to a shorter month's end)
//   quarterly  same day of the month and months 0, 3, 6 or 9 apart, any years
//   yearly     same day of the month or same month, from the memo's year on
// Fails with the type-mismatch error when a date cannot be read.
StatusOr<bool> IsDueOn(std::string_view current_day, std::string_view memo_date, int16_t kind);

// The same rule on dates already read.
bool IsDueOn(const base::Date& current_day, const base::Date& memo_date, int16_t kind);

}  // namespace agendia::memo
