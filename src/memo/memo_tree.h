#pragma once

#include "db/database.h"
#include "platform/controls.h"
#include "platform/page_buffer.h"

#include <agendia/status.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::memo {

// The memo tree: one group node per recurrence kind, keyed by the kind's
// group key, and under each group the memos of that kind due on the current
// day, keyed by their identifier and shown by their title.

// Adds the six group nodes in the order of the kinds, each captioned with
// `caption_of(kind.caption_key)`. Stops at the first failure.
Status AddGroupNodes(platform::TreeView& tree,
                     const std::function<StatusOr<std::string>(const char* key)>& caption_of);

// Rows of a memo list that could not be used, and why the first could not.
struct LeftOut {
  int count = 0;
  Status first;

  void Add(const Status& why) {
    if (count++ == 0) first = why;
  }
};

// Receives each memo due on the day, in the order of the rows: its kind's
// code, its identifier and its title. The texts are buffers of the reader,
// overwritten by the next row. A failure stops the reading and is its result.
using DueMemoSink =
    std::function<Status(int16_t kind, const std::string& key, const std::string& title)>;

// Reads `rows` front to back and hands each memo due on `current_day` (a day
// as the host gives it) to `sink`. Once memos are due on their own day, daily
// memos every day, the dated kinds as IsDueOn says, any other code never. A
// row whose kind or date cannot be read (a date that is no date, a kind
// beyond 16 bits) is counted in `left_out` and skipped, so one bad row never
// hides the memos after it. The values are read into buffers kept across
// rows, and the current day is read once, at the first memo whose kind
// needs it. Stops at the first failure of the rows themselves or of `sink`.
Status ReadDueMemos(db::Recordset& rows, const std::string& current_day, LeftOut& left_out,
                    const DueMemoSink& sink);

// Memos read and kept for the tree, so that a read that fails can leave the
// tree as it was. Compact, since a list may hold a million of them: each memo
// is its kind, the sizes of its identifier and title, and their characters,
// one after the other in chunks of a large page each, which the system
// provides at one page fault per chunk (see platform::PageBuffer).
class DueMemos {
 public:
  void Keep(int16_t kind, std::string_view key, std::string_view title);
  std::size_t size() const { return count_; }
  // Calls `visit(kind, key, title)` for each memo in the order kept, until
  // one call fails; the texts live until the next call.
  Status ForEach(const DueMemoSink& visit) const;

 private:
  struct Header {
    int16_t kind;
    uint32_t key_size;
    uint32_t title_size;
  };
  struct Chunk {
    platform::PageBuffer bytes;
    std::size_t used = 0;
  };
  std::vector<Chunk> chunks_;
  std::size_t count_ = 0;
};

// Adds the node of one due memo under the group of its kind. A memo whose key
// a node already has (a group key, an identifier stored twice) could not be
// told apart: it is counted in `left_out` and not added. Fails only when the
// tree does.
Status AddDueMemo(platform::TreeView& tree, int16_t kind, const std::string& key,
                  const std::string& title, LeftOut& left_out);

// Expands every group node.
Status ExpandGroups(platform::TreeView& tree);

}  // namespace agendia::memo
