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

Status ReadDueMemos(db::Recordset& rows, const std::string& current_day, DueMemos& due) {
  db::FieldValue send, period, id, title;
  std::string key, text;
  std::optional<base::Date> today;
  auto unreadable = [&due](const Status& why) {
    if (due.unreadable++ == 0) due.first_unreadable = why;
  };
  while (true) {
    auto at_end = rows.EndOfFile();
    if (!at_end.ok()) return at_end.status();
    if (*at_end) return Status::Ok();

    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("dSend", send));
    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("DisplayPeriods", period));
    const RecurrenceKind* group = nullptr;
    auto kind = ValueToInt16(period, 0);
    if (!kind.ok()) {
      unreadable(kind.status());
    } else if (*kind == kDaily) {
      // Daily memos are due every day, whatever their date.
      group = &kRecurrenceKinds[kDaily];
    } else if (*kind == kOnce || (*kind >= kWeekly && *kind <= kYearly)) {
      // Once and the dated kinds compare the memo's date with the current
      // day; any other code is due never.
      auto dated = ValueToDate(send);
      if (dated.ok() && !today) {
        auto current = TextToDate(current_day);
        if (!current.ok()) return current.status();
        today = *current;
      }
      if (!dated.ok()) {
        unreadable(dated.status());
      } else if (*kind == kOnce ? *today == *dated : IsDueOn(*today, *dated, *kind)) {
        group = &kRecurrenceKinds[static_cast<size_t>(*kind)];
      }
    }

    if (group != nullptr) {
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgId", id));
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgTitle", title));
      due.memos.push_back({group->code, ValueAsText(id, key), ValueAsText(title, text)});
    }
    AGENDIA_RETURN_IF_ERROR(rows.MoveNext());
  }
}

Status AddDueMemos(DueMemos& due, platform::TreeView& tree) {
  for (const DueMemos::Memo& memo : due.memos) {
    if (tree.FindNode(memo.key)) {
      if (due.unreadable++ == 0) {
        due.first_unreadable = Status::Error(
            hr::kInvalidArg, "its identifier '" + memo.key + "' is not unique in the list");
      }
      continue;
    }
    AGENDIA_RETURN_IF_ERROR(tree.AddNode(std::string(kRecurrenceKinds[static_cast<size_t>(memo.kind)].group_key),
                                         platform::kTreeChild, memo.key, memo.title));
  }
  return Status::Ok();
}

Status ExpandGroups(platform::TreeView& tree) {
  for (const RecurrenceKind& kind : kRecurrenceKinds) {
    AGENDIA_RETURN_IF_ERROR(tree.SetExpanded(kind.group_key, true));
  }
  return Status::Ok();
}

}  // namespace agendia::memo
