#pragma once

#include <agendia/status.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace agendia::platform {

// The kinds of control the calendar window is built from.
enum class ControlKind {
  kTreeView,       // VXTreeView
  kEditBox,        // EDITLib.Edit
  kComboBox,       // VXComboBox
  kCommandButton,  // VXCommandButton
  kLabel,          // VXLabel
  kPlainLabel,     // a plain label
  kCaptionBar,     // VXFrmCaption: its caption becomes the window's title
};

// A font as the controls describe it.
struct FontDesign {
  std::string name;
  double size = 0;   // points
  int weight = 400;  // 400 normal, 700 bold
  int charset = 0;   // 0 ANSI, 134 GB2312
  friend bool operator==(const FontDesign&, const FontDesign&) = default;
};

// A control's font object. Each property is set on its own; a setter fails
// when the control cannot take the value.
class ControlFont {
 public:
  virtual ~ControlFont() = default;
  virtual FontDesign Get() const = 0;
  virtual Status SetName(const std::string& name) = 0;
  virtual Status SetSize(double points) = 0;
  virtual Status SetCharset(int charset) = 0;
};

// Every control: a name, a kind and possibly a font.
class Control {
 public:
  virtual ~Control() = default;
  virtual const std::string& Name() const = 0;
  virtual ControlKind Kind() const = 0;
  // The control's font object, or nullptr when the control has no font.
  virtual ControlFont* Font() = 0;
  // The name assistive technology (a screen reader) gives the control; empty
  // until set. A control that is not visible stays out of reach of assistive
  // technology whatever its name.
  virtual std::string AccessibleName() const = 0;
  virtual void SetAccessibleName(const std::string& name) = 0;
};

// VXLabel and the plain label.
class Label : public virtual Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The control this label describes (nullptr: none). Assistive technology
  // announces the control as labelled by it. The caption is shown in full
  // in its control's font: a label whose text needs more height than its
  // design gives is drawn taller rather than cut.
  virtual void SetBuddy(Control* described) = 0;
};

// VXFrmCaption: invisible at run time; its caption is the window's title.
class CaptionBar : public virtual Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

// VXCommandButton. No button is ever a default button: Enter in an edit box
// or on a tree node presses none. Enter or Space on the focused button, its
// mnemonic (an "&" before a letter of the caption) and, for the cancel
// button, Escape press it. The focused button shows that it has the focus.
class CommandButton : public virtual Control {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Called when the button is clicked (mouse, mnemonic, Space, or Escape for
  // the cancel button). One handler; a new one replaces the old.
  virtual void OnClick(std::function<void()> handler) = 0;
};

// Mouse button and shift-state arguments use the host's codes:
// button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
using KeyPressHandler = std::function<void(int16_t& key_ascii)>;
using KeyUpHandler = std::function<void(int16_t key_code, int16_t shift)>;
using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;

// EDITLib.Edit. A disabled box refuses every input but still shows its text
// at the contrast of an enabled one (the look of a read-only field), since a
// locked editor is where the user reads a memo. The box that has the focus
// shows it.
class EditBox : public virtual Control {
 public:
  // The text as set, byte for byte, until the user edits it; after an edit,
  // a multi-line box gives its line breaks as CR LF, as the host's Windows
  // programs write and read them.
  virtual std::string Text() const = 0;
  // Sets the text as it stands, also beyond the maximum length: the limit
  // bounds what the user types, pastes and drops, cut by whole characters
  // before the text goes in.
  virtual void SetText(const std::string& text) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Gives the box the keyboard focus; in a window that is not active, the
  // box gets it when the window becomes active.
  virtual void SetFocus() = 0;
  // Design settings: maximum length in characters (0 = none), multi-line.
  virtual int MaxLength() const = 0;
  virtual bool MultiLine() const = 0;

  // Key press: the character code of the typed key, by reference; a handler
  // that sets it to 0 discards the character.
  virtual void OnKeyPress(KeyPressHandler handler) = 0;
  // Key release: the virtual key code and the shift state.
  virtual void OnKeyUp(KeyUpHandler handler) = 0;
  virtual void OnMouseDown(MouseHandler handler) = 0;
  virtual void OnMouseUp(MouseHandler handler) = 0;
};

// VXComboBox, a drop-down list. Like an edit box, a disabled list shows its
// text at full contrast.
class ComboBox : public virtual Control {
 public:
  virtual void Clear() = 0;
  // Appends an item. Adding items never selects one.
  virtual void AddItem(const std::string& text) = 0;
  virtual int ListCount() const = 0;
  // Position of the selected item, -1 when none.
  virtual int ListIndex() const = 0;
  // Text of the item at `index`; fails for a position that holds no item.
  virtual StatusOr<std::string> List(int index) const = 0;
  // Selects the first item whose text equals `text`; a text that no item has
  // leaves nothing selected.
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// Relationship codes of TreeView::AddNode.
inline constexpr int kTreeChild = 4;  // child of the relative, after its children

// A node as the tree reports it back.
struct TreeNode {
  std::string key;
  std::string text;
  std::optional<std::string> parent_key;  // none for a top-level node
};

// VXTreeView. Nodes are addressed by their unique keys.
class TreeView : public virtual Control {
 public:
  // Removes every node.
  virtual void Clear() = 0;
  // Adds a node. Without a relative the node goes to the top level after the
  // existing ones; with relationship kTreeChild it becomes the last child of
  // the relative. Fails for a key already in the tree, an unknown relative or
  // an unsupported relationship.
  virtual Status AddNode(const std::optional<std::string>& relative,
                         std::optional<int> relationship, const std::string& key,
                         const std::string& text) = 0;
  // The node with `key`, or nothing.
  virtual std::optional<TreeNode> FindNode(const std::string& key) const = 0;
  // Fails for an unknown key.
  virtual Status SetExpanded(const std::string& key, bool expanded) = 0;
  virtual bool IsExpanded(const std::string& key) const = 0;
  // Number of nodes in the whole tree.
  virtual int NodeCount() const = 0;
  // Keys of the children of `parent_key` in order; the top level for nothing.
  virtual std::vector<std::string> ChildKeys(const std::optional<std::string>& parent_key) const = 0;
  // Raised when the user clicks a node, selects one from the keyboard, or
  // presses Enter on the current node.
  virtual void OnNodeClick(std::function<void(const TreeNode&)> handler) = 0;
  virtual bool Enabled() const = 0;
  // Gives the tree the keyboard focus (see EditBox::SetFocus).
  virtual void SetFocus() = 0;
};

}  // namespace agendia::platform
