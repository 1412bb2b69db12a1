#pragma once

#include "db/database.h"
#include "platform/controls.h"

#include <agendia/status.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace agendia::memo {

// The memo tree: one group node per recurrence kind, keyed by the kind's
// group key, and under each group the memos of that kind due on the current
// day, keyed by their identifier and shown by their title.

// Adds the six group nodes in the order of the kinds, each captioned with
// `caption_of(kind.caption_key)`. Stops at the first failure.
Status AddGroupNodes(platform::TreeView& tree,
                     const std::function<StatusOr<std::string>(const char* key)>& caption_of);

// The memos due on a day, as read from their rows, and the rows that could
// not be used.
struct DueMemos {
  struct Memo {
    int16_t kind;
    std::string key;
    std::string title;
  };
  std::vector<Memo> memos;  // in the order the rows came
  int unreadable = 0;       // rows left out because they cannot be used
  Status first_unreadable;  // why the first of them was left out
};

// Reads `rows` front to back and keeps each memo due on `current_day` (a day
// as the host gives it). Once memos are due on their own day, daily memos
// every day, the dated kinds as IsDueOn says, any other code never. A row
// whose kind or date cannot be read (a date that is no date, a kind beyond
// 16 bits) is counted in `due.unreadable` and skipped, so one bad row never
// hides the memos after it. The values are read into buffers kept across
// rows, and the current day is read once, at the first memo whose kind
// needs it. Stops at the first failure of the rows themselves; what was read
// so far stays in `due`.
Status ReadDueMemos(db::Recordset& rows, const std::string& current_day, DueMemos& due);

// Adds a node for each memo of `due` under the group of its kind. A memo
// whose key a node already has (a group key, an identifier stored twice)
// could not be told apart: it is counted as unreadable and left out. Stops
// at the first failure of the tree.
Status AddDueMemos(DueMemos& due, platform::TreeView& tree);

// Expands every group node.
Status ExpandGroups(platform::TreeView& tree);

}  // namespace agendia::memo
