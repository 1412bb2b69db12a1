#pragma once

#include "platform/controls.h"
#include "platform/form_window.h"
#include "platform/length_limit.h"
#include "platform/tree_node_store.h"
#include "platform/win32/win32_p.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace agendia::platform::win32 {

// Posted by a control to the dialog, which hands it back to the control
// (wparam the control identifier, lparam the control's value) once the
// message being handled now is done.
inline constexpr UINT kPostedToControl = WM_APP + 1;

// Pixels per logical inch of the screen, horizontally and vertically.
struct Dpi {
  int x = 96;
  int y = 96;
};
Dpi ScreenDpi();
int TwipsToPixels(int twips, int dpi);

// The font object of one control. Every setter creates the whole font anew
// (face name, size at the screen's DPI, weight, character set) and gives it
// to the window; without a window (the caption bar) it only keeps the values.
class Win32ControlFont final : public ControlFont {
 public:
  // `window` may be null. Without a design font the font starts as the
  // system's dialog font.
  Win32ControlFont(HWND window, const std::optional<FontDesign>& design);
  ~Win32ControlFont() override;
  Win32ControlFont(const Win32ControlFont&) = delete;
  Win32ControlFont& operator=(const Win32ControlFont&) = delete;

  FontDesign Get() const override { return spec_; }
  Status SetName(const std::string& name) override;
  Status SetSize(double points) override;
  Status SetCharset(int charset) override;

  // The window is gone: keeps the values, touches no window any more.
  void Detach() { window_ = nullptr; }

 private:
  Status Apply(const FontDesign& next);

  HWND window_;
  FontDesign spec_;
  HFONT font_ = nullptr;
};

// What every control adapter shares. The native window is owned by the
// dialog; the adapter outlives it and then answers from what it keeps.
class Win32ControlBase : public virtual Control {
 public:
  Win32ControlBase(const ControlDesign& design, HWND window);

  const std::string& Name() const override { return name_; }
  ControlKind Kind() const override { return kind_; }
  ControlFont* Font() override { return &font_; }
  // Screen readers name a native control by the label just before it in
  // the dialog's order (see Win32Label::SetBuddy); a name of its own is
  // given to them as an annotation of the window, where the system has it.
  std::string AccessibleName() const override { return accessible_name_; }
  void SetAccessibleName(const std::string& name) override;

  HWND window() const { return window_; }
  // WM_COMMAND and WM_NOTIFY sent by this control to the dialog.
  virtual void OnCommand(WORD /*code*/) {}
  virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
  // A message this control posted to the dialog (kPostedToControl) is back.
  virtual void OnPosted(LPARAM /*value*/) {}
  // Enter was pressed while this control had the focus; the dialog turns it
  // into its IDOK command before the control sees the key.
  virtual void OnEnter() {}
  // Called just before the native window is destroyed.
  virtual void Detach();

 protected:
  bool Alive() const { return window_ != nullptr; }
  void ClearAccessibleName();
  std::string NativeText() const;
  void SetNativeText(const std::string& text);

 private:
  std::string name_;
  ControlKind kind_;
  HWND window_;
  Win32ControlFont font_;
  std::string accessible_name_;
  bool annotated_ = false;  // the window carries a name annotation to remove
};

class Win32Label final : public Win32ControlBase, public Label {
 public:
  using Win32ControlBase::Win32ControlBase;
  std::string Caption() const override { return NativeText(); }
  void SetCaption(const std::string& caption) override { SetNativeText(caption); }
  // Moves this label just before the control it describes in the dialog's
  // order of children, where screen readers look for a control's name,
  // unless the two overlap.
  void SetBuddy(Control* described) override;
};

// The caption bar has no window of its own: its caption is the dialog's title.
class Win32CaptionBar final : public Win32ControlBase, public CaptionBar {
 public:
  Win32CaptionBar(const ControlDesign& design, HWND dialog);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;
  void Detach() override;

 private:
  HWND dialog_;
  std::string caption_;
};

class Win32CommandButton final : public Win32ControlBase, public CommandButton {
 public:
  using Win32ControlBase::Win32ControlBase;
  std::string Caption() const override { return NativeText(); }
  void SetCaption(const std::string& caption) override { SetNativeText(caption); }
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void OnClick(std::function<void()> handler) override { on_click_ = std::move(handler); }
  void OnCommand(WORD code) override;
  // Raises the click as the button itself would, when it is enabled.
  void Click();

 private:
  std::function<void()> on_click_;
};

// A locked box (SetEnabled(false)) stays an enabled window, read-only and
// out of the Tab order, so that its text is drawn at full contrast and can
// still be selected and copied; it refuses every change from the user and
// raises none of the box's events, as a disabled one would.
class Win32EditBox final : public Win32ControlBase, public EditBox {
 public:
  Win32EditBox(const ControlDesign& design, HWND window);
  std::string Text() const override { return NativeText(); }
  void SetText(const std::string& text) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override {
    if (Alive()) ::SetFocus(window());
  }
  int MaxLength() const override { return max_length_; }
  bool MultiLine() const override { return multi_line_; }
  void OnKeyPress(KeyPressHandler handler) override { key_press_ = std::move(handler); }
  void OnKeyUp(KeyUpHandler handler) override { key_up_ = std::move(handler); }
  void OnMouseDown(MouseHandler handler) override { mouse_down_ = std::move(handler); }
  void OnMouseUp(MouseHandler handler) override { mouse_up_ = std::move(handler); }
  // EN_CHANGE: whatever an edit brought in beyond the limit goes again.
  void OnCommand(WORD code) override;
  void Detach() override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallOriginal(UINT message, WPARAM wparam, LPARAM lparam);
  void RaiseMouse(const MouseHandler& handler, int16_t button, LPARAM lparam);
  // Pastes the clipboard's text cut to the room the limit leaves.
  void PasteWithinLimit();
  void CutOverLimit();
  std::wstring NativeWideText() const;

  int max_length_;
  bool multi_line_;
  LengthLimit limit_;
  bool locked_ = false;
  bool cutting_ = false;
  WNDPROC original_ = nullptr;
  KeyPressHandler key_press_;
  KeyUpHandler key_up_;
  MouseHandler mouse_down_;
  MouseHandler mouse_up_;
};

// The drop-down list draws its closed field itself: a slim arrow, so that
// the design's narrow field shows a kind's whole name, and the chosen kind
// at full contrast also while the list is disabled. The closed field keeps
// the design's height at every font and DPI.
class Win32ComboBox final : public Win32ControlBase, public ComboBox {
 public:
  // `closed_height` is the closed field's height in pixels.
  Win32ComboBox(const ControlDesign& design, HWND window, int closed_height);
  void Clear() override;
  void AddItem(const std::string& text) override;
  int ListCount() const override;
  int ListIndex() const override;
  StatusOr<std::string> List(int index) const override;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void Detach() override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void KeepClosedHeight();
  void Paint();

  int closed_height_;
  WNDPROC original_ = nullptr;
};

// The tree keeps every node's key and text in a TreeNodeStore, for the
// queries, which answer from it at any time; the native tree holds the
// shape and a copy of each title, each item with its node's id. A fill (a
// Clear, or the first node of an empty tree) turns the control's drawing
// off and holds back expansions; drawing comes back on, and the expansions
// are made, once control returns to the message loop, or before the control
// handles any input or paints, whichever comes first, so a long list is laid
// out and measured once. Titles are copied rather than given on demand
// (LPSTR_TEXTCALLBACK): Wine's tree keeps a 260-character buffer for every
// such item and measures its text all the same.
class Win32TreeView final : public Win32ControlBase, public TreeView {
 public:
  using Win32ControlBase::Win32ControlBase;
  void Clear() override;
  Status AddNode(const std::optional<std::string>& relative, std::optional<int> relationship,
                 const std::string& key, const std::string& text) override;
  std::optional<TreeNode> FindNode(const std::string& key) const override;
  Status SetExpanded(const std::string& key, bool expanded) override;
  bool IsExpanded(const std::string& key) const override;
  int NodeCount() const override { return store_.Count(); }
  std::vector<std::string> ChildKeys(const std::optional<std::string>& parent_key) const override;
  void OnNodeClick(std::function<void(const TreeNode&)> handler) override {
    on_node_click_ = std::move(handler);
  }
  bool Enabled() const override;
  void SetFocus() override {
    if (Alive()) ::SetFocus(window());
  }
  LRESULT OnNotify(const NMHDR& header) override;
  void OnPosted(LPARAM value) override;
  // Enter on a node shows it again, as a click on it does.
  void OnEnter() override;
  void Detach() override;
  // Installs the handling of focus, keys and clicks beside a node's text.
  void Subclass();

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallOriginal(UINT message, WPARAM wparam, LPARAM lparam);
  TreeNode Describe(int id) const;
  int IdOf(HTREEITEM item) const;
  void RaiseClick(HTREEITEM item);
  // Turns the control's drawing off for a fill, and asks for it back.
  void StartFill();
  // Turns the drawing on again after a fill; nothing outside one.
  void EndFill();
  // Gives node `id` the expanded state last set, keeping the view in place.
  void Expand(int id);

  TreeNodeStore store_;
  // By node id: the parent's id (TreeNodeStore::kNone for a group at the top
  // level) and the native item.
  std::vector<int> parents_;
  std::vector<HTREEITEM> items_;
  // By node id, for a tree without a window: whether it was set expanded.
  std::vector<bool> expanded_;
  // Nodes whose expanded state was set during the fill, in the order set.
  std::vector<int> expand_later_;
  std::function<void(const TreeNode&)> on_node_click_;
  // A text on its way to the control, kept from node to node so that adding
  // one allocates nothing once the longest has been seen.
  std::wstring wide_;
  // The last mouse click changed the selection and was raised for that.
  bool clicked_by_selection_ = false;
  // Drawing is off for a fill.
  bool filling_ = false;
  WNDPROC original_ = nullptr;
};

// Creates the native window of `design` as a child of `dialog` with the
// control identifier `id`, and its adapter. The caption bar gets no window.
std::unique_ptr<Win32ControlBase> MakeWin32Control(const ControlDesign& design, HWND dialog, int id,
                                                   const Dpi& dpi);

}  // namespace agendia::platform::win32
