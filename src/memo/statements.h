#pragma once

#include <agendia/status.h>

#include <string>
#include <string_view>

namespace agendia::memo {

// The statements the window runs on the memo table, in the server's dialect.
// Every text value is written between apostrophes with each apostrophe inside
// it doubled, so a value is stored exactly as typed and can never end its
// literal early; for values without apostrophes the texts are byte for byte
// those the memo table has always been given.

// All memos (type 100) whose receiver is `user`, in no particular order.
std::string SelectByReceiver(std::string_view user);

// The memo with identifier `msg_id`, if it still exists and is a memo of
// `user`. The three statements on one memo all require the memo type and the
// user as receiver, so no action reaches a row the user's tree could not list
// (an identifier that only differs by spaces or letter case from another
// user's, for one).
std::string SelectById(std::string_view msg_id, std::string_view user);

// The values of a new memo. The user is both its sender and its receiver.
struct NewMemo {
  std::string title;
  std::string content;
  std::string user;
  std::string send_time;  // "yyyy-mm-dd hh:mm:ss"
  int minutes_of_day = 0;
  int kind = 0;
  std::string account;
  std::string year;  // written bare, so it must be a whole number
};

// Inserts a memo; the server generates its identifier. Fails with
// hr::kInvalidArg, before any statement exists, when the year is not a whole
// number: written bare, anything else would change the statement.
StatusOr<std::string> InsertMemo(const NewMemo& memo);

// The values a saved memo takes.
struct MemoChange {
  std::string send_time;  // "yyyy-mm-dd hh:mm:ss"
  std::string title;
  std::string content;
  int minutes_of_day = 0;
  int kind = 0;
};

// Changes the memo `msg_id` (used unchanged) of `user`; its identifier, type,
// sender, receiver, read flag, account and year stay.
std::string UpdateMemo(const MemoChange& change, std::string_view msg_id, std::string_view user);

// Deletes the memo of `user` whose identifier is `msg_id`, used unchanged:
// an identifier stored with spaces around it is addressed with them, like
// the select and the update do.
std::string DeleteMemo(std::string_view msg_id, std::string_view user);

// `value` with every apostrophe doubled, ready to stand between apostrophes.
std::string QuoteText(std::string_view value);

// True for an optional sign followed by 1 to 9 digits, ignoring surrounding
// spaces: the years the insert writes bare.
bool IsWholeNumber(std::string_view text);

}  // namespace agendia::memo
