#include "memo/memo_tree.h"

#include "base/date_text.h"
#include "memo/due_rule.h"
#include "memo/recurrence.h"
#include "memo/value_conversion.h"

#include <optional>

namespace agendia::memo {

Status AddGroupNodes(platform::TreeView& tree,
                     const std::function<StatusOr<std::string>(const char* key)>& caption_of) {
  for (const RecurrenceKind& kind : kRecurrenceKinds) {
    auto caption = caption_of(kind.caption_key);
    if (!caption.ok()) return caption.status();
    AGENDIA_RETURN_IF_ERROR(tree.AddNode(std::nullopt, std::nullopt, kind.group_key, *caption));
  }
  return Status::Ok();
}

Status AddDueMemos(db::Recordset& rows, const std::string& current_day, platform::TreeView& tree) {
  db::FieldValue send, period, id, title;
  std::string key, text;
  std::optional<base::Date> today;
  while (true) {
    auto at_end = rows.EndOfFile();
    if (!at_end.ok()) return at_end.status();
    if (*at_end) return Status::Ok();

    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("dSend", send));
    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("DisplayPeriods", period));
    auto kind = ValueToInt16(period, 0);
    if (!kind.ok()) return kind.status();

    // Once and the dated kinds compare the memo's date with the current day;
    // daily memos are due every day and any other code never.
    const RecurrenceKind* group = nullptr;
    if (*kind == kDaily) {
      group = &kRecurrenceKinds[kDaily];
    } else if (*kind == kOnce || (*kind >= kWeekly && *kind <= kYearly)) {
      auto dated = ValueToDate(send);
      if (!dated.ok()) return dated.status();
      if (!today) {
        auto current = TextToDate(current_day);
        if (!current.ok()) return current.status();
        today = *current;
      }
      const bool due = *kind == kOnce ? *today == *dated : IsDueOn(*today, *dated, *kind);
      if (due) group = &kRecurrenceKinds[static_cast<size_t>(*kind)];
    }

    if (group != nullptr) {
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgId", id));
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgTitle", title));
      AGENDIA_RETURN_IF_ERROR(tree.AddNode(std::string(group->group_key), platform::kTreeChild,
                                           ValueAsText(id, key), ValueAsText(title, text)));
    }
    AGENDIA_RETURN_IF_ERROR(rows.MoveNext());
  }
}

Status ExpandGroups(platform::TreeView& tree) {
  for (const RecurrenceKind& kind : kRecurrenceKinds) {
    AGENDIA_RETURN_IF_ERROR(tree.SetExpanded(kind.group_key, true));
  }
  return Status::Ok();
}

}  // namespace agendia::memo
