#include "reliability/dump_compare.h"

#include <sstream>

namespace agendia::testing {
namespace {

CompareFigures figures;

// Shows bytes that do not print as escapes, so a difference of one byte (a CR,
// a NUL) is visible in the failure message.
std::string Visible(const std::string& value) {
  std::string shown;
  for (unsigned char c : value.substr(0, 120)) {
    if (c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      shown += escape;
    } else {
      shown += static_cast<char>(c);
    }
  }
  if (value.size() > 120) shown += "...(" + std::to_string(value.size()) + " bytes)";
  return shown;
}

void CompareRow(const std::string& id, const DumpRow& expected, const DumpRow& actual,
                std::ostringstream& problems) {
  for (const auto& [column, value] : expected) {
    auto found = actual.find(column);
    const std::string got = found == actual.end() ? "<missing>" : found->second;
    if (got != value) {
      problems << "\n  row '" << Visible(id) << "' column " << column << ": expected '"
               << Visible(value) << "', stored '" << Visible(got) << "'";
    }
  }
}

}  // namespace

std::string NewId(const Dump& before, const Dump& after) {
  for (const auto& [id, row] : after) {
    if (!before.count(id)) return id;
  }
  return "";
}

const CompareFigures& ComparisonFigures() { return figures; }

::testing::AssertionResult OnlyChanged(const Dump& before, const Dump& after, const Change& change) {
  ++figures.comparisons;
  std::ostringstream problems;
  int added = 0;
  for (const auto& [id, row] : after) {
    if (before.count(id)) continue;
    ++added;
    if (!change.inserted) {
      problems << "\n  unexpected new row '" << Visible(id) << "'";
    } else {
      CompareRow(id, *change.inserted, row, problems);
    }
  }
  if (change.inserted && added != 1) problems << "\n  " << added << " new rows instead of one";

  for (const auto& [id, row] : before) {
    auto now = after.find(id);
    if (now == after.end()) {
      if (change.deleted_id != id) problems << "\n  row '" << Visible(id) << "' is gone";
      continue;
    }
    if (change.deleted_id == id) problems << "\n  row '" << Visible(id) << "' is still there";
    DumpRow expected = row;
    if (change.updated_id == id) {
      for (const auto& [column, value] : change.updated) expected[column] = value;
    }
    CompareRow(id, expected, now->second, problems);
    if (now->second.size() != expected.size()) problems << "\n  row '" << Visible(id) << "' changed shape";
  }
  if (change.updated_id && !before.count(*change.updated_id)) {
    problems << "\n  the row to change, '" << Visible(*change.updated_id) << "', was not there before";
  }
  const std::string text = problems.str();
  if (text.empty()) return ::testing::AssertionSuccess();
  ++figures.wrong;
  return ::testing::AssertionFailure() << "the memo table changed other than intended:" << text;
}

}  // namespace agendia::testing
