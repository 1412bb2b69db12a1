#pragma once

#include <array>
#include <cstdint>

namespace agendia::memo {

// The recurrence codes stored in a memo's DisplayPeriods column. Stored rows
// depend on these values.
inline constexpr int16_t kOnce = 0;
inline constexpr int16_t kDaily = 1;
inline constexpr int16_t kWeekly = 2;
inline constexpr int16_t kMonthly = 3;
inline constexpr int16_t kQuarterly = 4;
inline constexpr int16_t kYearly = 5;

// One recurrence kind. Its code is stored with each memo, and is also its
// position in the interval list and the place of its group in the tree.
struct RecurrenceKind {
  int16_t code;
  const char* group_key;    // key of the kind's group node in the tree
  const char* caption_key;  // resource key of the kind's name
};

// The six kinds in the order of their codes, so kRecurrenceKinds[code] is
// the kind of that code.
inline constexpr std::array<RecurrenceKind, 6> kRecurrenceKinds{{
    {kOnce, "rtOne", "Q7.PUB.PORTAL.frmCalendarInfo.051"},
    {kDaily, "rtDay", "Q7.PUB.PORTAL.frmNoter.011"},
    {kWeekly, "rtWeek", "Q7.PUB.PORTAL.frmNoter.012"},
    {kMonthly, "rtMonth", "Q7.PUB.PORTAL.frmNoter.013"},
    {kQuarterly, "rtQuarter", "Q7.PUB.PORTAL.frmNoter.014"},
    {kYearly, "rtYear", "Q7.PUB.PORTAL.frmNoter.015"},
}};

}  // namespace agendia::memo
