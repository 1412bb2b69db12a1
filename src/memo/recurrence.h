#pragma once

#include <array>
#include <cstdint>

namespace agendia::memo {

// One recurrence kind. Its code is stored with each memo, and is also its
// position in the interval list and the place of its group in the tree.
struct RecurrenceKind {
  int16_t code;
  const char* group_key;    // key of the kind's group node in the tree
  const char* caption_key;  // resource key of the kind's name
};

// The six kinds in the order of their codes: once, daily, weekly, monthly,
// quarterly, yearly. Stored rows depend on these codes.
inline constexpr std::array<RecurrenceKind, 6> kRecurrenceKinds{{
    {0, "rtOne", "Q7.PUB.PORTAL.frmCalendarInfo.051"},
    {1, "rtDay", "Q7.PUB.PORTAL.frmNoter.011"},
    {2, "rtWeek", "Q7.PUB.PORTAL.frmNoter.012"},
    {3, "rtMonth", "Q7.PUB.PORTAL.frmNoter.013"},
    {4, "rtQuarter", "Q7.PUB.PORTAL.frmNoter.014"},
    {5, "rtYear", "Q7.PUB.PORTAL.frmNoter.015"},
}};

}  // namespace agendia::memo
