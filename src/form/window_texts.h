#pragma once

// Messages of the window's own, which the host's resource texts may not
// have: each is a resource key with the English text to show instead when
// the host's library lacks the key.

#include <string>
#include <string_view>
#include <vector>

namespace agendia {

struct WindowText {
  const char* key;
  const char* english;  // also the text of `key` in the shipped en-us texts
};

namespace texts {
// An update that found no memo to change (deleted meanwhile); the error
// number follows. The editor keeps what was typed and the next Save inserts
// it, so following the advice loses nothing.
inline constexpr WindowText kMemoGoneNotSaved{
    "Agendia.frmCalendarInfo.MemoGoneNotSaved",
    "The memo was not saved: it no longer exists. What you typed stays in the editor: "
    "Save now stores it as a new memo"};
// An insert whose answer was lost (a time-out, a broken connection): it may
// be stored. %1 is the failure. After the list was read again:
inline constexpr WindowText kAnswerLost{
    "Agendia.frmCalendarInfo.AnswerLost",
    "The database did not answer, so the memo may have been saved. The list of memos has "
    "been read again: if the memo is listed, it is saved; if not, Save stores what you "
    "typed, which stays in the editor. The failure: %1"};
// ... and when the list could not be read again either (%2 is why).
inline constexpr WindowText kAnswerLostNotListed{
    "Agendia.frmCalendarInfo.AnswerLostNotListed",
    "The database did not answer, so the memo may have been saved, and the list of memos "
    "could not be read again (%2). What you typed stays in the editor; Save reads the list "
    "again before it saves anything. The failure: %1"};
// Save after such an answer read the list again instead of saving.
inline constexpr WindowText kListReadAgain{
    "Agendia.frmCalendarInfo.ListReadAgain",
    "The list of memos has been read again. If the memo you typed is listed, it was saved; "
    "if not, press Save again to store it. What you typed stays in the editor"};
// ... or could still not read it: %1 is the failure.
inline constexpr WindowText kListStillNotRead{
    "Agendia.frmCalendarInfo.ListStillNotRead",
    "The memo may have been saved, but the list of memos could still not be read again; "
    "Save reads it again before it saves anything: %1"};
// Modify or Delete of a memo whose identifier other memos of the user share:
// %1 is how many rows have it, %2 the identifier.
inline constexpr WindowText kMemoIdShared{
    "Agendia.frmCalendarInfo.MemoIdShared",
    "This memo can be neither modified nor deleted: %1 memos share its identifier '%2', "
    "and a change would reach them all"};
// The memo is stored or deleted, but the tree could not be read again: %1 is
// the failure.
inline constexpr WindowText kSavedButNotListed{
    "Agendia.frmCalendarInfo.SavedButNotListed",
    "The memo is saved, but the list of memos could not be read again: %1"};
inline constexpr WindowText kDeletedButNotListed{
    "Agendia.frmCalendarInfo.DeletedButNotListed",
    "The memo is deleted, but the list of memos could not be read again: %1"};
// Rows of the user's that could not be listed: %1 is their count, %2 the
// (first one's) failure.
inline constexpr WindowText kOneMemoLeftOut{
    "Agendia.frmCalendarInfo.OneMemoLeftOut",
    "%1 memo could not be read and is not listed: %2"};
inline constexpr WindowText kMemosLeftOut{
    "Agendia.frmCalendarInfo.MemosLeftOut",
    "%1 memos could not be read and are not listed. The first: %2"};
}  // namespace texts

// `text` with %1 ... %9 replaced by `values[0]` ... `values[8]`. The text is
// read once from left to right, so a value that itself holds "%2" stays as it
// is; a placeholder without a value stays as written.
std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& values);

}  // namespace agendia
