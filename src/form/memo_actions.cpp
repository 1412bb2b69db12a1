#include "base/no_throw.h"
#include "form/frmCalendarInfo.h"
#include "memo/due_rule.h"
#include "memo/memo_tree.h"
#include "memo/statements.h"

// The window's database actions and its memo tree, under the names the window
// has always had; the work is done by memo::MemoStore and memo/memo_tree.h.

namespace agendia {

memo::MemoStore frmCalendarInfo::Store() const {
  return memo::MemoStore(platform_->database, g_cConn);
}

StatusOr<std::shared_ptr<db::Connection>> frmCalendarInfo::OpenMemoConnection() {
  return Store().OpenConnection();
}

StatusOr<std::unique_ptr<db::Recordset>> frmCalendarInfo::OpenMemoRecordset(
    const std::shared_ptr<db::Connection>& oConn, const std::string& strSql) {
  return Store().OpenRecordset(oConn, strSql);
}

void frmCalendarInfo::CloseIfOpen(std::unique_ptr<db::Recordset>& oRs) {
  memo::MemoStore::CloseIfOpen(oRs);
}
void frmCalendarInfo::CloseIfOpen(std::shared_ptr<db::Connection>& oConn) {
  memo::MemoStore::CloseIfOpen(oConn);
}

// The failure's description followed directly by its number in parentheses,
// in a plain box with the application's title.
void frmCalendarInfo::ShowDbError(const Status& failure) { ShowFailure(failure); }

Status frmCalendarInfo::ExecuteMemoStatement(const std::string& strSql, long& records_affected) {
  // The store has released the connection before the message is shown, so
  // that no connection or lock is held while the box waits for the user.
  const Status executed = Store().Execute(strSql, &records_affected);
  if (!executed.ok()) ShowDbError(executed);
  return executed;
}

// Rebuilds the tree from the database: the six group nodes, then each memo of
// the user that is due on the current day under the group of its kind, in the
// order the rows arrive, then every group expanded.
//
// The rows are read in full before the tree changes, so a read that fails
// (a lock, a lost connection) leaves the tree as it was, not emptier; on the
// first load, when there is nothing to keep, the groups and the memos read
// before the failure are shown, the groups left collapsed. Rows that cannot
// be used are left out, and reported once, with their count, after the tree
// is built.
//
// A failure of the tree or of a caption lookup goes to the caller. A failure
// from the database is shown to the user, `failure_prefix` before its
// description.
Status frmCalendarInfo::LoadMemoTree(std::string_view failure_prefix) {
  memo::DueMemos due;
  Status loaded = Store().Select(memo::SelectByReceiver(g_cUser), [&](db::Recordset& oRs) {
    return memo::ReadDueMemos(oRs, dayCurr, due);
  });

  if (loaded.ok() || tvInfo->NodeCount() == 0) {
    tvInfo->Clear();
    AGENDIA_RETURN_IF_ERROR(
        memo::AddGroupNodes(*tvInfo, [this](const char* key) { return GetString(key); }));
    const Status filled = base::CallWithoutThrowing<Status>("The memo tree failed", [&] { return FillMemoTree(due); });
    if (loaded.ok()) loaded = filled;
    if (loaded.ok()) AGENDIA_RETURN_IF_ERROR(memo::ExpandGroups(*tvInfo));
  }
  if (!loaded.ok()) {
    ShowDbError(failure_prefix.empty()
                    ? loaded
                    : Status::Error(loaded.code(), std::string(failure_prefix) + loaded.description()));
  } else if (due.unreadable > 0) {
    ShowDbError(Status::Error(
        due.first_unreadable.code(),
        std::to_string(due.unreadable) +
            (due.unreadable == 1 ? " memo could not be read and is" : " memos could not be read and are") +
            " not listed. The first: " + due.first_unreadable.description()));
  }
  return Status::Ok();
}

Status frmCalendarInfo::FillMemoTree(memo::DueMemos& due) { return memo::AddDueMemos(due, *tvInfo); }

bool frmCalendarInfo::IsMemoDue(const base::Date& dCurrDay, const base::Date& dMemoDay,
                                int16_t nPeriod) {
  return memo::IsDueOn(dCurrDay, dMemoDay, nPeriod);
}

}  // namespace agendia
