#include "memo/memo_tree.h"

#include "base/date_text.h"
#include "memo/due_rule.h"
#include "memo/recurrence.h"
#include "memo/value_conversion.h"

#include <algorithm>
#include <array>
#include <cstring>
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

Status ReadDueMemos(db::Recordset& rows, const std::string& current_day, LeftOut& left_out,
                    const DueMemoSink& sink) {
  db::FieldValue send, period, id, title;
  std::string key, text;
  std::optional<base::Date> today;
  while (true) {
    auto at_end = rows.EndOfFile();
    if (!at_end.ok()) return at_end.status();
    if (*at_end) return Status::Ok();

    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("dSend", send));
    AGENDIA_RETURN_IF_ERROR(rows.ReadValue("DisplayPeriods", period));
    const RecurrenceKind* group = nullptr;
    auto kind = ValueToInt16(period, 0);
    if (!kind.ok()) {
      left_out.Add(kind.status());
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
        left_out.Add(dated.status());
      } else if (*kind == kOnce ? *today == *dated : IsDueOn(*today, *dated, *kind)) {
        group = &kRecurrenceKinds[static_cast<size_t>(*kind)];
      }
    }

    if (group != nullptr) {
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgId", id));
      AGENDIA_RETURN_IF_ERROR(rows.ReadValue("cMsgTitle", title));
      AGENDIA_RETURN_IF_ERROR(sink(group->code, ValueAsText(id, key), ValueAsText(title, text)));
    }
    AGENDIA_RETURN_IF_ERROR(rows.MoveNext());
  }
}

void DueMemos::Keep(int16_t kind, std::string_view key, std::string_view title) {
  const std::size_t size = sizeof(Header) + key.size() + title.size();
  if (chunks_.empty() || chunks_.back().bytes.size() - chunks_.back().used < size) {
    chunks_.push_back(Chunk{platform::PageBuffer(std::max(size, platform::PageBuffer::kLargePage)), 0});
  }
  Chunk& chunk = chunks_.back();
  char* const at = chunk.bytes.data() + chunk.used;
  const Header header{kind, static_cast<uint32_t>(key.size()), static_cast<uint32_t>(title.size())};
  std::memcpy(at, &header, sizeof header);
  if (!key.empty()) std::memcpy(at + sizeof header, key.data(), key.size());
  if (!title.empty()) std::memcpy(at + sizeof header + key.size(), title.data(), title.size());
  chunk.used += size;
  ++count_;
}

Status DueMemos::ForEach(const DueMemoSink& visit) const {
  // The tree takes whole strings; these two keep their capacity from memo to
  // memo.
  std::string key, title;
  for (const Chunk& chunk : chunks_) {
    for (std::size_t at = 0; at < chunk.used;) {
      Header header;
      std::memcpy(&header, chunk.bytes.data() + at, sizeof header);
      const char* const chars = chunk.bytes.data() + at + sizeof header;
      key.assign(chars, header.key_size);
      title.assign(chars + header.key_size, header.title_size);
      AGENDIA_RETURN_IF_ERROR(visit(header.kind, key, title));
      at += sizeof header + header.key_size + header.title_size;
    }
  }
  return Status::Ok();
}

Status AddDueMemo(platform::TreeView& tree, int16_t kind, const std::string& key,
                  const std::string& title, LeftOut& left_out) {
  // Made once: a list adds its memos under the same six relatives.
  static const std::array<std::optional<std::string>, kRecurrenceKinds.size()> kRelatives = [] {
    std::array<std::optional<std::string>, kRecurrenceKinds.size()> relatives;
    for (std::size_t i = 0; i < relatives.size(); ++i) relatives[i] = std::string(kRecurrenceKinds[i].group_key);
    return relatives;
  }();
  // Identifiers are almost always unique, so the node is added at once and
  // the key looked up only when the tree refuses it: one lookup per memo.
  const Status added =
      tree.AddNode(kRelatives[static_cast<std::size_t>(kind)], platform::kTreeChild, key, title);
  if (added.ok() || !tree.FindNode(key)) return added;
  left_out.Add(Status::Error(hr::kInvalidArg, "its identifier '" + key + "' is not unique in the list"));
  return Status::Ok();
}

Status ExpandGroups(platform::TreeView& tree) {
  for (const RecurrenceKind& kind : kRecurrenceKinds) {
    AGENDIA_RETURN_IF_ERROR(tree.SetExpanded(kind.group_key, true));
  }
  return Status::Ok();
}

}  // namespace agendia::memo
