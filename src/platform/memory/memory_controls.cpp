#include "platform/memory/memory_platform.h"

#include <algorithm>

namespace agendia::platform::memory {

Status MemoryFont::SetName(const std::string& name) {
  design_.name = name;
  return Status::Ok();
}

Status MemoryFont::SetSize(double points) {
  if (points <= 0) return Status::Error(hr::kInvalidArg, "Invalid font size");
  design_.size = points;
  return Status::Ok();
}

Status MemoryFont::SetCharset(int charset) {
  design_.charset = charset;
  return Status::Ok();
}

namespace {
// The default font of a control designed without one.
FontDesign DefaultFont() { return FontDesign{"MS Sans Serif", 8.25, 400, 0}; }
}  // namespace

MemoryControl::MemoryControl(const ControlDesign& design)
    : design_(design), font_(std::make_unique<MemoryFont>(design.font.value_or(DefaultFont()))) {}

void MemoryCaptionBar::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (window_title_ != nullptr) *window_title_ = caption;
}

bool MemoryButton::Click() {
  if (!enabled_ || !on_click_) return false;
  on_click_();
  return true;
}

namespace {
// Number of UTF-8 characters, counting each lead byte.
size_t CharCount(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The first `limit` UTF-8 characters of `text`.
std::string CutToChars(const std::string& text, size_t limit) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == limit) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}
}  // namespace

// The length limit bounds what the user types and pastes; text the program
// sets (a memo as stored) is shown whole.
void MemoryEdit::SetText(const std::string& text) { text_ = text; }

void MemoryEdit::Type(char ch) {
  if (!enabled_) return;
  int16_t code = static_cast<unsigned char>(ch);
  if (on_key_press_) on_key_press_(code);
  if (code == 8) {
    if (!text_.empty()) {
      // Remove the last UTF-8 character.
      size_t end = text_.size() - 1;
      while (end > 0 && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) --end;
      text_.erase(end);
    }
  } else if (code != 0) {
    if (design_.max_length == 0 || CharCount(text_) < static_cast<size_t>(design_.max_length)) {
      text_.push_back(static_cast<char>(code));
    }
  }
  int16_t key_code = static_cast<int16_t>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
  if (on_key_up_) on_key_up_(key_code, 0);
}

void MemoryEdit::TypeText(const std::string& text) {
  for (char ch : text) Type(ch);
}

void MemoryEdit::PressKey(int16_t key_code) {
  if (enabled_ && on_key_up_) on_key_up_(key_code, 0);
}

void MemoryEdit::Paste(const std::string& text) {
  if (!enabled_) return;
  if (design_.max_length == 0) {
    text_ += text;
    return;
  }
  const size_t limit = static_cast<size_t>(design_.max_length);
  const size_t used = CharCount(text_);
  text_ += CutToChars(text, used >= limit ? 0 : limit - used);
}

void MemoryEdit::ClickMouse(const std::function<void()>& between) {
  if (!enabled_) return;
  if (on_mouse_down_) on_mouse_down_(1, 0, 5.0F, 5.0F);
  if (between) between();
  if (on_mouse_up_) on_mouse_up_(1, 0, 5.0F, 5.0F);
}

void MemoryCombo::Clear() {
  items_.clear();
  index_ = -1;
}

StatusOr<std::string> MemoryCombo::List(int index) const {
  if (index < 0 || index >= ListCount()) {
    return Status::Error(hr::kInvalidArg, "Invalid list index " + std::to_string(index));
  }
  return items_[static_cast<size_t>(index)];
}

void MemoryCombo::SetText(const std::string& text) {
  auto it = std::find(items_.begin(), items_.end(), text);
  index_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

std::string MemoryCombo::Text() const {
  return index_ < 0 ? std::string() : items_[static_cast<size_t>(index_)];
}

void MemoryTree::Clear() {
  store_.Clear();
  nodes_.clear();
  first_top_ = last_top_ = kNone;
}

Status MemoryTree::AddNode(const std::optional<std::string>& relative,
                           std::optional<int> relationship, const std::string& key,
                           const std::string& text) {
  if (fail_add_after) {
    if (*fail_add_after == 0) return Status::Fail("Tree node could not be added");
    --*fail_add_after;
  }
  const TreeNodeStore::Place place = store_.Locate(key);
  if (place.found() != kNone) {
    return Status::Error(hr::kInvalidArg, "Key is not unique in collection: " + key);
  }
  int parent = kNone;
  if (relative) {
    parent = Find(*relative);
    if (parent == kNone) return Status::Error(hr::kInvalidArg, "Element not found: " + *relative);
    if (relationship.value_or(kTreeChild) != kTreeChild) {
      return Status::Error(hr::kInvalidArg, "Unsupported relationship");
    }
  }
  const int id = store_.Insert(place, text);
  nodes_.push_back(Node{parent});
  int& last = parent == kNone ? last_top_ : nodes_[parent].last_child;
  if (last == kNone) {
    (parent == kNone ? first_top_ : nodes_[parent].first_child) = id;
  } else {
    nodes_[last].next_sibling = id;
  }
  last = id;
  return Status::Ok();
}

std::optional<TreeNode> MemoryTree::FindNode(const std::string& key) const {
  const int id = Find(key);
  if (id == kNone) return std::nullopt;
  return NodeAt(id);
}

Status MemoryTree::SetExpanded(const std::string& key, bool expanded) {
  const int id = Find(key);
  if (id == kNone) return Status::Error(hr::kInvalidArg, "Element not found: " + key);
  nodes_[id].expanded = expanded;
  return Status::Ok();
}

bool MemoryTree::IsExpanded(const std::string& key) const {
  const int id = Find(key);
  return id != kNone && nodes_[id].expanded;
}

std::vector<std::string> MemoryTree::ChildKeys(const std::optional<std::string>& parent_key) const {
  std::vector<std::string> keys;
  int child = first_top_;
  if (parent_key) {
    const int parent = Find(*parent_key);
    if (parent == kNone) return keys;
    child = nodes_[parent].first_child;
  }
  for (; child != kNone; child = nodes_[child].next_sibling) keys.push_back(Key(child));
  return keys;
}

TreeNode MemoryTree::NodeAt(int id) const {
  TreeNode found{Key(id), std::string(store_.Text(id)), std::nullopt};
  if (nodes_[id].parent != kNone) found.parent_key = Key(nodes_[id].parent);
  return found;
}

bool MemoryTree::ClickNode(const std::string& key) {
  auto node = FindNode(key);
  if (!node) return false;
  if (on_node_click_) on_node_click_(*node);
  return true;
}

}  // namespace agendia::platform::memory
