#pragma once

// The one assertion of the reliability suite: after an action, the memo table
// differs from its dump before the action by exactly the intended change.

#include "reliability/target_database.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace agendia::testing {

// What an action is meant to do to the memo table. The default: nothing.
struct Change {
  // One new row holding at least these columns; nothing: no new row.
  std::optional<DumpRow> inserted;
  // The row `updated_id` takes the values of `updated`; its other columns,
  // and every other row, stay byte for byte.
  std::optional<std::string> updated_id;
  DumpRow updated;
  // The one row that goes.
  std::optional<std::string> deleted_id;
};

inline Change Inserted(DumpRow columns) {
  Change change;
  change.inserted = std::move(columns);
  return change;
}
inline Change Updated(std::string id, DumpRow columns) {
  Change change;
  change.updated_id = std::move(id);
  change.updated = std::move(columns);
  return change;
}
inline Change Deleted(std::string id) {
  Change change;
  change.deleted_id = std::move(id);
  return change;
}

::testing::AssertionResult OnlyChanged(const Dump& before, const Dump& after, const Change& change);

// How many comparisons OnlyChanged made in this process and how many found
// the table changed other than intended: the suite's figures.
struct CompareFigures {
  int comparisons = 0;
  int wrong = 0;
};
const CompareFigures& ComparisonFigures();

// The identifier of the one row of `after` that `before` lacks, or "".
std::string NewId(const Dump& before, const Dump& after);

}  // namespace agendia::testing
