#include "memo/statements.h"

#include "base/date_text.h"

namespace agendia::memo {

std::string QuoteText(std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size());
  for (char ch : value) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted;
}

bool IsWholeNumber(std::string_view text) {
  const std::string trimmed = base::Trim(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 9) return false;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

std::string SelectByReceiver(std::string_view user) {
  return "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver='" + QuoteText(user) +
         "'";
}

std::string SelectById(std::string_view msg_id, std::string_view user) {
  return "select * from VXSystem..ZA_Message where nMsgType=100 and cMsgID='" + QuoteText(msg_id) +
         "' and cReceiver='" + QuoteText(user) + "' ";
}

StatusOr<std::string> InsertMemo(const NewMemo& memo) {
  if (!IsWholeNumber(memo.year)) {
    return Status::Error(hr::kInvalidArg, "The memo was not saved: the year '" + memo.year +
                                              "' given by the portal is not a whole number");
  }
  return "insert into VXSystem..za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
         "cReceiver, dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) "
         "VALUES(NewID(), 100, '" +
         QuoteText(memo.title) + "','" + QuoteText(memo.content) + "','" + QuoteText(memo.user) +
         "','" + QuoteText(memo.user) + "','" + QuoteText(memo.send_time) + "', " +
         std::to_string(memo.minutes_of_day) + ", 0, " + std::to_string(memo.kind) + ", '" +
         QuoteText(memo.account) + "', " + memo.year + ")";
}

std::string UpdateMemo(const MemoChange& change, std::string_view msg_id, std::string_view user) {
  return "update VXSystem..za_message set dSend='" + QuoteText(change.send_time) +
         "', cMsgTitle='" + QuoteText(change.title) + "', cMsgContent='" +
         QuoteText(change.content) + "', nValidDay=" + std::to_string(change.minutes_of_day) +
         ", DisplayPeriods=" + std::to_string(change.kind) + " " + " where cMsgID='" +
         QuoteText(msg_id) + "' and nMsgType=100 and cReceiver='" + QuoteText(user) + "' ";
}

std::string DeleteMemo(std::string_view msg_id, std::string_view user) {
  return "delete from VXSystem..za_message where cMsgID='" + QuoteText(msg_id) +
         "' and nMsgType=100 and cReceiver='" + QuoteText(user) + "'";
}

}  // namespace agendia::memo
