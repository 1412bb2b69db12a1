#pragma once

#include "db/database.h"
#include "platform/controls.h"

#include <agendia/status.h>

#include <functional>
#include <string>

namespace agendia::memo {

// The memo tree: one group node per recurrence kind, keyed by the kind's
// group key, and under each group the memos of that kind due on the current
// day, keyed by their identifier and shown by their title.

// Adds the six group nodes in the order of the kinds, each captioned with
// `caption_of(kind.caption_key)`. Stops at the first failure.
Status AddGroupNodes(platform::TreeView& tree,
                     const std::function<StatusOr<std::string>(const char* key)>& caption_of);

// Reads `rows` front to back and adds a node for each memo due on
// `current_day` (a day as the host gives it) under the group of its kind,
// in the order the rows arrive. Once memos are due on their own day, daily
// memos every day, the dated kinds as IsDueOn says, any other code never.
// The values are read into buffers kept across rows, and the current day is
// read once, at the first memo whose kind needs it, so a long list costs
// little beyond the nodes themselves. Stops at the first failure; the nodes
// added so far stay.
Status AddDueMemos(db::Recordset& rows, const std::string& current_day, platform::TreeView& tree);

// Expands every group node.
Status ExpandGroups(platform::TreeView& tree);

}  // namespace agendia::memo
