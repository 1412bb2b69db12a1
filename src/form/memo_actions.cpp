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
// A reload reads the rows in full before the tree changes, so a read that
// fails (a lock, a lost connection) leaves the tree as it was, not emptier.
// On the first load there is nothing to keep: the groups are added first and
// each memo goes into the tree as its row arrives, so that a large list is
// not copied on its way, and a read that fails leaves the groups, collapsed,
// and the memos read before the failure. Rows that cannot be used are left
// out, and reported with their count after the tree is built: once, and
// again only when their count changes, not after every Save and Delete.
//
// A failure of the group nodes or of a caption lookup goes to the caller. A
// failure from the database, or of a memo's node, is shown to the user, in
// `failure_text` when there is one.
Status frmCalendarInfo::LoadMemoTree(const WindowText* failure_text) {
  Status failed;
  AGENDIA_RETURN_IF_ERROR(ReadMemoTree(failed));
  if (!failed.ok()) {
    ShowDbError(failure_text == nullptr
                    ? failed
                    : Status::Error(failed.code(), TextOf(*failure_text, {failed.description()})));
  }
  return Status::Ok();
}

Status frmCalendarInfo::ReadMemoTree(Status& failed) {
  const auto add_groups = [this] {
    tvInfo->Clear();
    return memo::AddGroupNodes(*tvInfo, [this](const char* key) { return GetString(key); });
  };
  memo::LeftOut left_out;
  Status loaded;
  if (tvInfo->NodeCount() == 0) {
    AGENDIA_RETURN_IF_ERROR(add_groups());
    loaded = Store().Select(memo::SelectByReceiver(g_cUser), [&](db::Recordset& oRs) {
      return memo::ReadDueMemos(
          oRs, dayCurr, left_out,
          [&](int16_t kind, const std::string& key, const std::string& title) {
            return memo::AddDueMemo(*tvInfo, kind, key, title, left_out);
          });
    });
  } else {
    memo::DueMemos due;
    loaded = Store().Select(memo::SelectByReceiver(g_cUser), [&](db::Recordset& oRs) {
      return memo::ReadDueMemos(oRs, dayCurr, left_out,
                                [&](int16_t kind, const std::string& key, const std::string& title) {
                                  due.Keep(kind, key, title);
                                  return Status::Ok();
                                });
    });
    if (loaded.ok()) {
      AGENDIA_RETURN_IF_ERROR(add_groups());
      loaded = base::CallWithoutThrowing<Status>("The memo tree failed",
                                                 [&] { return FillMemoTree(due, left_out); });
    }
  }
  if (loaded.ok()) AGENDIA_RETURN_IF_ERROR(memo::ExpandGroups(*tvInfo));

  failed = loaded;
  if (!loaded.ok()) return Status::Ok();
  // The user has seen the list as it is now.
  m_bAnswerLost = false;
  if (left_out.count != m_nLeftOutShown && left_out.count > 0) {
    const WindowText& text = left_out.count == 1 ? texts::kOneMemoLeftOut : texts::kMemosLeftOut;
    const std::string shown =
        TextOf(text, {std::to_string(left_out.count), left_out.first.description()});
    ShowDbError(Status::Error(left_out.first.code(), shown));
  }
  m_nLeftOutShown = left_out.count;
  return Status::Ok();
}

Status frmCalendarInfo::FillMemoTree(const memo::DueMemos& due, memo::LeftOut& left_out) {
  return due.ForEach([&](int16_t kind, const std::string& key, const std::string& title) {
    return memo::AddDueMemo(*tvInfo, kind, key, title, left_out);
  });
}

bool frmCalendarInfo::IsMemoDue(const base::Date& dCurrDay, const base::Date& dMemoDay,
                                int16_t nPeriod) {
  return memo::IsDueOn(dCurrDay, dMemoDay, nPeriod);
}

}  // namespace agendia
