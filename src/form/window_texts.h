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
// number follows.
inline constexpr WindowText kMemoGoneNotSaved{
    "Agendia.frmCalendarInfo.MemoGoneNotSaved",
    "The memo was not saved: it no longer exists. Add saves what you typed as a new memo"};
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
