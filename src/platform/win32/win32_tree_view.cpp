#include "platform/win32/win32_controls_p.h"

#include "platform/win32/wide_text.h"

#include <windowsx.h>

namespace agendia::platform::win32 {
namespace {

constexpr wchar_t kTreeProperty[] = L"AgendiaTreeView";

// Where a click counts as a click on a node: its row, beside the expand
// button, not only its picture and text.
constexpr UINT kOnNodeRow = TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT;

bool MovesSelection(WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Win32TreeView::Clear() {
  if (Alive()) TreeView_DeleteAllItems(window());
  nodes_.clear();
  top_level_.clear();
  by_key_.clear();
}

Status Win32TreeView::AddNode(const std::optional<std::string>& relative,
                              std::optional<int> relationship, const std::string& key,
                              const std::string& text) {
  if (by_key_.count(key) != 0) {
    return Status::Error(hr::kInvalidArg, "Key is not unique in collection: " + key);
  }
  int parent = -1;
  if (relative) {
    if (relationship.value_or(kTreeChild) != kTreeChild) {
      return Status::Error(hr::kInvalidArg, "Unsupported relationship " +
                                                std::to_string(relationship.value_or(0)));
    }
    const auto found = by_key_.find(*relative);
    if (found == by_key_.end()) return Status::Error(hr::kInvalidArg, "Element not found: " + *relative);
    parent = found->second;
  }

  const int id = static_cast<int>(nodes_.size());
  Node node;
  node.key = key;
  node.text = text;
  node.parent = parent;
  if (Alive()) {
    const std::wstring wide = Widen(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent < 0 ? TVI_ROOT : nodes_[static_cast<size_t>(parent)].item;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(wide.c_str());
    insert.item.lParam = static_cast<LPARAM>(id);
    node.item = TreeView_InsertItem(window(), &insert);
    if (node.item == nullptr) return Status::Fail("The tree could not add the node " + key);
  }
  nodes_.push_back(std::move(node));
  by_key_.emplace(key, id);
  if (parent < 0) {
    top_level_.push_back(id);
  } else {
    nodes_[static_cast<size_t>(parent)].children.push_back(id);
  }
  return Status::Ok();
}

TreeNode Win32TreeView::Describe(int id) const {
  const Node& node = nodes_[static_cast<size_t>(id)];
  TreeNode described{node.key, node.text, std::nullopt};
  if (node.parent >= 0) described.parent_key = nodes_[static_cast<size_t>(node.parent)].key;
  return described;
}

std::optional<TreeNode> Win32TreeView::FindNode(const std::string& key) const {
  const auto found = by_key_.find(key);
  if (found == by_key_.end()) return std::nullopt;
  return Describe(found->second);
}

Status Win32TreeView::SetExpanded(const std::string& key, bool expanded) {
  const auto found = by_key_.find(key);
  if (found == by_key_.end()) return Status::Error(hr::kInvalidArg, "Element not found: " + key);
  Node& node = nodes_[static_cast<size_t>(found->second)];
  node.expanded = expanded;
  if (Alive() && node.item) {
    // The native tree scrolls to show the children of a node it expands, as
    // a user's expanding asks; expanding from the program keeps the view
    // where it is, so the list still starts at its first node once loaded.
    HTREEITEM first_visible = TreeView_GetFirstVisible(window());
    TreeView_Expand(window(), node.item, expanded ? TVE_EXPAND : TVE_COLLAPSE);
    if (first_visible && TreeView_GetFirstVisible(window()) != first_visible) {
      TreeView_SelectSetFirstVisible(window(), first_visible);
    }
  }
  return Status::Ok();
}

bool Win32TreeView::IsExpanded(const std::string& key) const {
  const auto found = by_key_.find(key);
  if (found == by_key_.end()) return false;
  const Node& node = nodes_[static_cast<size_t>(found->second)];
  if (Alive() && node.item) {
    return (TreeView_GetItemState(window(), node.item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }
  return node.expanded;
}

std::vector<std::string> Win32TreeView::ChildKeys(const std::optional<std::string>& parent_key) const {
  const std::vector<int>* ids = &top_level_;
  if (parent_key) {
    const auto found = by_key_.find(*parent_key);
    if (found == by_key_.end()) return {};
    ids = &nodes_[static_cast<size_t>(found->second)].children;
  }
  std::vector<std::string> keys;
  keys.reserve(ids->size());
  for (int id : *ids) keys.push_back(nodes_[static_cast<size_t>(id)].key);
  return keys;
}

bool Win32TreeView::Enabled() const { return Alive() && IsWindowEnabled(window()); }

int Win32TreeView::IdOf(HTREEITEM item) const {
  if (item == nullptr || !Alive()) return -1;
  TVITEMW query{};
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!TreeView_GetItem(window(), &query)) return -1;
  const int id = static_cast<int>(query.lParam);
  return id >= 0 && id < static_cast<int>(nodes_.size()) ? id : -1;
}

void Win32TreeView::RaiseClick(HTREEITEM item) {
  const int id = IdOf(item);
  if (id < 0 || !on_node_click_) return;
  auto handler = on_node_click_;
  handler(Describe(id));
}

LRESULT Win32TreeView::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      // Only the user's choices count: a selection the tree makes itself
      // while nodes are removed is no click.
      if (change.action == TVC_BYMOUSE || change.action == TVC_BYKEYBOARD) {
        if (change.action == TVC_BYMOUSE) clicked_by_selection_ = true;
        RaiseClick(change.itemNew.hItem);
      }
      return 0;
    }
    case NM_CLICK: {
      // A click on the node already selected changes no selection, yet the
      // host's tree raises its click again. Whether this click changed the
      // selection is known only once the click has been handled whole (the
      // order of NM_CLICK and TVN_SELCHANGED differs between systems), so the
      // check is posted to the dialog and comes back through OnPosted.
      TVHITTESTINFO hit{};
      const DWORD position = GetMessagePos();
      hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
      ScreenToClient(window(), &hit.pt);
      HTREEITEM item = TreeView_HitTest(window(), &hit);
      if (item && (hit.flags & kOnNodeRow)) {
        PostMessageW(GetParent(window()), kPostedToControl, static_cast<WPARAM>(GetDlgCtrlID(window())),
                     reinterpret_cast<LPARAM>(item));
      }
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace agendia::platform::win32

namespace agendia::platform::win32 {

void Win32TreeView::OnPosted(LPARAM value) {
  const bool raised = clicked_by_selection_;
  clicked_by_selection_ = false;
  if (raised || !Alive()) return;
  auto item = reinterpret_cast<HTREEITEM>(value);
  if (item == TreeView_GetSelection(window())) RaiseClick(item);
}

void Win32TreeView::OnEnter() {
  if (Alive()) RaiseClick(TreeView_GetSelection(window()));
}

}  // namespace agendia::platform::win32

namespace agendia::platform::win32 {

void Win32TreeView::Subclass() {
  if (!Alive() || original_) return;
  SetPropW(window(), kTreeProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

void Win32TreeView::Detach() {
  if (HWND tree = window(); tree && original_) {
    SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(tree, kTreeProperty);
  }
  Win32ControlBase::Detach();
}

LRESULT CALLBACK Win32TreeView::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<Win32TreeView*>(GetPropW(window, kTreeProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Win32TreeView::CallOriginal(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(original_, window(), message, wparam, lparam);
}

LRESULT Win32TreeView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETFOCUS: {
      // The native tree selects its first node as it takes the focus. A
      // node is selected only by the user here: the loaded list has none,
      // and a selected node that was never shown would belie the editor.
      const bool had_selection = TreeView_GetSelection(window()) != nullptr;
      const LRESULT result = CallOriginal(message, wparam, lparam);
      if (!had_selection && TreeView_GetSelection(window()) != nullptr) {
        TreeView_SelectItem(window(), nullptr);
      }
      return result;
    }
    case WM_KEYDOWN: {
      // With nothing selected, the keys move on from the first node in
      // view; a key that stays on it chooses it.
      if (!MovesSelection(wparam) || TreeView_GetSelection(window()) != nullptr) break;
      HTREEITEM first = TreeView_GetFirstVisible(window());
      if (first == nullptr) break;
      TreeView_SelectItem(window(), first);
      const LRESULT result = CallOriginal(message, wparam, lparam);
      if (Alive() && TreeView_GetSelection(window()) == first) RaiseClick(first);
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // The row is the node: a click beside the text goes to the text.
      TVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      HTREEITEM item = TreeView_HitTest(window(), &hit);
      if (item && (hit.flags & (TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT))) {
        RECT text{};
        if (TreeView_GetItemRect(window(), item, &text, TRUE)) {
          lparam = MAKELPARAM((text.left + text.right) / 2, (text.top + text.bottom) / 2);
        }
      }
      break;
    }
    default:
      break;
  }
  return CallOriginal(message, wparam, lparam);
}

}  // namespace agendia::platform::win32
