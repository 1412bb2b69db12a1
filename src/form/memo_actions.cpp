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

void frmCalendarInfo::ExecuteMemoStatement(const std::string& strSql) {
  // The store has released the connection before the message is shown, so
  // that no connection or lock is held while the box waits for the user.
  const Status executed = Store().Execute(strSql);
  if (!executed.ok()) ShowDbError(executed);
}

// Rebuilds the tree from the database: the six group nodes, then each memo of
// the user that is due on the current day under the group of its kind, in the
// order the rows arrive, then every group expanded.
//
// A failure of the tree or of a caption lookup while the groups are built goes
// to the caller. A failure from the database on is shown to the user instead:
// the nodes added so far stay and the groups are left collapsed.
Status frmCalendarInfo::LoadMemoTree() {
  tvInfo->Clear();
  AGENDIA_RETURN_IF_ERROR(
      memo::AddGroupNodes(*tvInfo, [this](const char* key) { return GetString(key); }));

  const Status loaded =
      Store().Select(memo::SelectByReceiver(g_cUser), [this](db::Recordset& oRs) -> Status {
        AGENDIA_RETURN_IF_ERROR(FillMemoTree(oRs));
        return memo::ExpandGroups(*tvInfo);
      });
  if (!loaded.ok()) ShowDbError(loaded);
  return Status::Ok();
}

Status frmCalendarInfo::FillMemoTree(db::Recordset& oRs) {
  return memo::AddDueMemos(oRs, dayCurr, *tvInfo);
}

bool frmCalendarInfo::IsMemoDue(const base::Date& dCurrDay, const base::Date& dMemoDay,
                                int16_t nPeriod) {
  return memo::IsDueOn(dCurrDay, dMemoDay, nPeriod);
}

}  // namespace agendia
