#include "platform/win32/win32_controls_p.h"

#include <windowsx.h>

#include <algorithm>
#include <string_view>

namespace agendia::platform::win32 {
namespace {

// Where a click counts as a click on a node: its row, beside the expand
// button, not only its picture and text.
constexpr UINT kOnNodeRow = TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT;

// `text` in UTF-16 in `buffer`, which keeps its capacity from node to node;
// returns the characters, ended by a zero.
wchar_t* WidenInto(const std::string& text, std::wstring& buffer) {
  buffer.clear();
  const int size = static_cast<int>(text.size());
  const int length = size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length > 0) {
    buffer.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, buffer.data(), length);
  }
  return buffer.data();
}

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
  if (Alive()) {
    StartFill();
    TreeView_DeleteAllItems(window());
  }
  store_.Clear();
  expand_later_.clear();
  parents_.clear();
  items_.clear();
  expanded_.clear();
}

void Win32TreeView::StartFill() {
  if (filling_ || !Alive()) return;
  // Drawn item by item, a tree of many nodes would be laid out, measured and
  // repainted once per node; with drawing off the control only links the
  // items, and lays the tree out once when drawing is back on. That happens
  // when the message now being handled is done: the notice goes through the
  // dialog's queue (an item of 0 is no click, see OnPosted).
  filling_ = true;
  SendMessageW(window(), WM_SETREDRAW, FALSE, 0);
  PostMessageW(GetParent(window()), kPostedToControl, static_cast<WPARAM>(GetDlgCtrlID(window())), 0);
}

void Win32TreeView::EndFill() {
  if (!filling_) return;
  filling_ = false;
  std::vector<int> expand = std::move(expand_later_);
  expand_later_.clear();
  if (!Alive()) return;
  SendMessageW(window(), WM_SETREDRAW, TRUE, 0);
  // In the order asked, each with the state it was set to last.
  for (int id : expand) Expand(id);
  InvalidateRect(window(), nullptr, TRUE);
}

Status Win32TreeView::AddNode(const std::optional<std::string>& relative,
                              std::optional<int> relationship, const std::string& key,
                              const std::string& text) {
  const TreeNodeStore::Place place = store_.Locate(key);
  if (place.found() != TreeNodeStore::kNone) {
    return Status::Error(hr::kInvalidArg, "Key is not unique in collection: " + key);
  }
  int parent = TreeNodeStore::kNone;
  if (relative) {
    if (relationship.value_or(kTreeChild) != kTreeChild) {
      return Status::Error(hr::kInvalidArg, "Unsupported relationship " +
                                                std::to_string(relationship.value_or(0)));
    }
    parent = store_.Find(*relative);
    if (parent == TreeNodeStore::kNone) return Status::Error(hr::kInvalidArg, "Element not found: " + *relative);
  }

  const int id = store_.Count();
  HTREEITEM item = nullptr;
  if (Alive()) {
    if (id == 0) StartFill();
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent == TreeNodeStore::kNone ? TVI_ROOT : items_[static_cast<size_t>(parent)];
    // Appended after the last child: the control finds the end at once,
    // where any other place would have it walk the siblings.
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = WidenInto(text, wide_);
    insert.item.lParam = static_cast<LPARAM>(id);
    item = TreeView_InsertItem(window(), &insert);
    if (item == nullptr) return Status::Fail("The tree could not add the node " + key);
  }
  store_.Insert(place, text);
  parents_.push_back(parent);
  items_.push_back(item);
  expanded_.push_back(false);
  return Status::Ok();
}

TreeNode Win32TreeView::Describe(int id) const {
  TreeNode described{store_.Key(id), std::string(store_.Text(id)), std::nullopt};
  const int parent = parents_[static_cast<size_t>(id)];
  if (parent != TreeNodeStore::kNone) described.parent_key = store_.Key(parent);
  return described;
}

std::optional<TreeNode> Win32TreeView::FindNode(const std::string& key) const {
  const int id = store_.Find(key);
  if (id == TreeNodeStore::kNone) return std::nullopt;
  return Describe(id);
}

Status Win32TreeView::SetExpanded(const std::string& key, bool expanded) {
  const int id = store_.Find(key);
  if (id == TreeNodeStore::kNone) return Status::Error(hr::kInvalidArg, "Element not found: " + key);
  expanded_[static_cast<size_t>(id)] = expanded;
  if (!Alive() || items_[static_cast<size_t>(id)] == nullptr) return Status::Ok();
  if (filling_) {
    // The control lays out (and measures) the children of a node it expands
    // at once, drawing or not, and all over again when drawing comes back:
    // during a fill the expansion waits for the end, to be laid out once.
    if (std::find(expand_later_.begin(), expand_later_.end(), id) == expand_later_.end()) {
      expand_later_.push_back(id);
    }
    return Status::Ok();
  }
  Expand(id);
  return Status::Ok();
}

void Win32TreeView::Expand(int id) {
  HTREEITEM item = items_[static_cast<size_t>(id)];
  // The native tree scrolls to show the children of a node it expands, as
  // a user's expanding asks; expanding from the program keeps the view
  // where it is, so the list still starts at its first node once loaded.
  HTREEITEM first_visible = TreeView_GetFirstVisible(window());
  TreeView_Expand(window(), item, expanded_[static_cast<size_t>(id)] ? TVE_EXPAND : TVE_COLLAPSE);
  if (first_visible && TreeView_GetFirstVisible(window()) != first_visible) {
    TreeView_SelectSetFirstVisible(window(), first_visible);
  }
}

bool Win32TreeView::IsExpanded(const std::string& key) const {
  const int id = store_.Find(key);
  if (id == TreeNodeStore::kNone) return false;
  HTREEITEM item = items_[static_cast<size_t>(id)];
  if (Alive() && item && !filling_) {
    return (TreeView_GetItemState(window(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }
  return expanded_[static_cast<size_t>(id)];
}

std::vector<std::string> Win32TreeView::ChildKeys(const std::optional<std::string>& parent_key) const {
  int parent = TreeNodeStore::kNone;
  if (parent_key) {
    parent = store_.Find(*parent_key);
    if (parent == TreeNodeStore::kNone) return {};
  }
  // Children are added after their parent and in their order, so they are
  // the nodes that name it as their parent, in the order of the ids.
  std::vector<std::string> keys;
  for (size_t id = parent == TreeNodeStore::kNone ? 0 : static_cast<size_t>(parent) + 1; id < parents_.size();
       ++id) {
    if (parents_[id] == parent) keys.push_back(store_.Key(static_cast<int>(id)));
  }
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
  return id >= 0 && id < store_.Count() ? id : -1;
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
  if (value == 0) {
    EndFill();
    return;
  }
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
  // The adapter rides in the window's user data, which the native tree
  // leaves to its program: every message to the tree looks it up, and a
  // window property would cost a trip to Wine's server each time (one per
  // node added to a long list).
  SetWindowLongPtrW(window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

void Win32TreeView::Detach() {
  if (HWND tree = window(); tree && original_) {
    SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrW(tree, GWLP_USERDATA, 0);
  }
  Win32ControlBase::Detach();
}

LRESULT CALLBACK Win32TreeView::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<Win32TreeView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Win32TreeView::CallOriginal(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(original_, window(), message, wparam, lparam);
}

LRESULT Win32TreeView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Whatever shows the tree or acts on its layout finds it laid out, also
  // when it comes before the fill's notice.
  if (filling_ && (message == WM_PAINT || message == WM_SETFOCUS || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                   (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST))) {
    EndFill();
  }
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
