#include "form/frmCalendarInfo.h"
#include "memo/due_rule.h"
#include "memo/recurrence.h"
#include "memo/statements.h"
#include "memo/value_conversion.h"

namespace agendia {

// Rebuilds the tree from the database: the six group nodes, then each memo of
// the user that is due on the current day under the group of its kind, in the
// order the rows arrive, then every group expanded.
//
// A failure of the tree or of a caption lookup while the groups are built goes
// to the caller. A failure from the database on is shown to the user instead:
// the nodes added so far stay and the groups are left collapsed.
Status frmCalendarInfo::LoadMemoTree() {
  tvInfo->Clear();
  for (const memo::RecurrenceKind& kind : memo::kRecurrenceKinds) {
    auto caption = GetString(kind.caption_key);
    if (!caption.ok()) return caption.status();
    AGENDIA_RETURN_IF_ERROR(tvInfo->AddNode(std::nullopt, std::nullopt, kind.group_key, *caption));
  }

  std::shared_ptr<db::Connection> oConn;
  std::unique_ptr<db::Recordset> oRs;
  Status loaded = RunDatabaseSteps([&]() -> Status {
    AGENDIA_RETURN_IF_ERROR(OpenMemoSelect(memo::SelectByReceiver(g_cUser), oConn, oRs));
    AGENDIA_RETURN_IF_ERROR(FillMemoTree(*oRs));
    for (const memo::RecurrenceKind& kind : memo::kRecurrenceKinds) {
      AGENDIA_RETURN_IF_ERROR(tvInfo->SetExpanded(kind.group_key, true));
    }
    return Status::Ok();
  });
  // Released before any message, so that no connection or lock is held
  // while the message box waits for the user.
  CloseIfOpen(oRs);
  CloseIfOpen(oConn);
  if (!loaded.ok()) ShowDbError(loaded);
  return Status::Ok();
}

// Reads the rows front to back and adds a node for each memo that is due.
// The values are read into buffers kept across rows, and the current day is
// read once, at the first memo whose kind needs it, so a long list costs
// little beyond the nodes themselves.
Status frmCalendarInfo::FillMemoTree(db::Recordset& oRs) {
  db::FieldValue send, period, id, title;
  std::string key, text;
  std::optional<base::Date> today;
  while (true) {
    auto at_end = oRs.EndOfFile();
    if (!at_end.ok()) return at_end.status();
    if (*at_end) return Status::Ok();

    AGENDIA_RETURN_IF_ERROR(oRs.ReadValue("dSend", send));
    AGENDIA_RETURN_IF_ERROR(oRs.ReadValue("DisplayPeriods", period));
    auto kind = memo::ValueToInt16(period, 0);
    if (!kind.ok()) return kind.status();

    // Once and the dated kinds compare the memo's date with the current day;
    // daily memos are due every day and any other code never.
    const memo::RecurrenceKind* group = nullptr;
    if (*kind == 1) {
      group = &memo::kRecurrenceKinds[1];
    } else if (*kind == 0 || (*kind >= 2 && *kind <= 5)) {
      auto dated = memo::ValueToDate(send);
      if (!dated.ok()) return dated.status();
      if (!today) {
        auto current = memo::TextToDate(dayCurr);
        if (!current.ok()) return current.status();
        today = *current;
      }
      const bool due = *kind == 0 ? *today == *dated : IsMemoDue(*today, *dated, *kind);
      if (due) group = &memo::kRecurrenceKinds[static_cast<size_t>(*kind)];
    }

    if (group != nullptr) {
      AGENDIA_RETURN_IF_ERROR(oRs.ReadValue("cMsgId", id));
      AGENDIA_RETURN_IF_ERROR(oRs.ReadValue("cMsgTitle", title));
      AGENDIA_RETURN_IF_ERROR(tvInfo->AddNode(std::string(group->group_key), platform::kTreeChild,
                                              memo::ValueAsText(id, key),
                                              memo::ValueAsText(title, text)));
    }
    AGENDIA_RETURN_IF_ERROR(oRs.MoveNext());
  }
}

bool frmCalendarInfo::IsMemoDue(const base::Date& dCurrDay, const base::Date& dMemoDay,
                                int16_t nPeriod) {
  return memo::IsDueOn(dCurrDay, dMemoDay, nPeriod);
}

}  // namespace agendia
