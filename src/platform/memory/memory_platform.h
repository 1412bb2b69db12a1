#pragma once

// In-memory doubles of the platform, for tests. Every window lives in memory,
// every message box is recorded instead of shown, and every user action
// (click, key, node selection) is raised by hand.

#include "platform/platform.h"
#include "platform/tree_node_store.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace agendia::platform::memory {

// A window system of made-up windows arranged in a parent tree.
class MemoryWindowSystem final : public WindowSystem {
 public:
  // Creates a window under `parent` (0: top level) and returns its handle.
  WindowHandle CreateWindow(WindowHandle parent = 0);
  // Forgets a window, as when it is destroyed.
  void DestroyWindow(WindowHandle window);
  bool Exists(WindowHandle window) const;
  bool IsEnabled(WindowHandle window) const;
  WindowHandle OwnerOf(WindowHandle window) const;

  WindowHandle GetParent(WindowHandle window) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  WindowHandle SetWindowOwner(WindowHandle window, WindowHandle owner) override;

  struct EnableCall {
    WindowHandle window;
    bool enable;
  };
  std::vector<EnableCall> enable_calls;
  int set_owner_calls = 0;

 private:
  struct Window {
    WindowHandle parent = 0;
    WindowHandle owner = 0;
    bool enabled = true;
  };
  std::map<WindowHandle, Window> windows_;
  WindowHandle next_ = 0x1000;
};

class MemorySystemLanguage final : public SystemLanguage {
 public:
  explicit MemorySystemLanguage(uint16_t language_id) : id(language_id) {}
  uint16_t GetSystemDefaultLangID() override { return id; }
  uint16_t id;
};

// A font object that records its properties.
class MemoryFont final : public ControlFont {
 public:
  explicit MemoryFont(FontDesign design) : design_(std::move(design)) {}
  FontDesign Get() const override { return design_; }
  Status SetName(const std::string& name) override;
  Status SetSize(double points) override;
  Status SetCharset(int charset) override;

 private:
  FontDesign design_;
};

// The state common to every memory control.
class MemoryControl : public virtual Control {
 public:
  explicit MemoryControl(const ControlDesign& design);
  const std::string& Name() const override { return design_.name; }
  ControlKind Kind() const override { return design_.kind; }
  ControlFont* Font() override { return font_.get(); }
  std::string AccessibleName() const override { return accessible_name_; }
  void SetAccessibleName(const std::string& name) override { accessible_name_ = name; }
  const ControlDesign& Design() const { return design_; }
  bool Visible() const { return design_.visible; }
  // Takes the font away, as for a control that has none.
  void RemoveFont() { font_.reset(); }
  // Where the window keeps the name of the control with the focus.
  void AttachFocus(std::string* window_focus) { window_focus_ = window_focus; }

 protected:
  void TakeFocus() {
    if (window_focus_ != nullptr) *window_focus_ = design_.name;
  }

  ControlDesign design_;
  std::unique_ptr<MemoryFont> font_;
  std::string accessible_name_;
  std::string* window_focus_ = nullptr;
};

class MemoryLabel final : public MemoryControl, public Label {
 public:
  using MemoryControl::MemoryControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetBuddy(Control* described) override { buddy_ = described ? described->Name() : ""; }
  // The name of the control the label describes, "" for none.
  const std::string& Buddy() const { return buddy_; }

 private:
  std::string caption_ = design_.design_text;
  std::string buddy_;
};

class MemoryCaptionBar final : public MemoryControl, public CaptionBar {
 public:
  MemoryCaptionBar(const ControlDesign& design, std::string* window_title)
      : MemoryControl(design), window_title_(window_title) {}
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;

 private:
  std::string caption_ = design_.design_text;
  std::string* window_title_;
};

class MemoryButton final : public MemoryControl, public CommandButton {
 public:
  using MemoryControl::MemoryControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void OnClick(std::function<void()> handler) override { on_click_ = std::move(handler); }
  // Clicks as a user would: a disabled button ignores the click. Returns
  // whether the click reached the handler.
  bool Click();

 private:
  std::string caption_ = design_.design_text;
  bool enabled_ = true;
  std::function<void()> on_click_;
};

class MemoryEdit final : public MemoryControl, public EditBox {
 public:
  using MemoryControl::MemoryControl;
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetFocus() override { TakeFocus(); }
  int MaxLength() const override { return design_.max_length; }
  bool MultiLine() const override { return design_.multi_line; }
  void OnKeyPress(KeyPressHandler handler) override { on_key_press_ = std::move(handler); }
  void OnKeyUp(KeyUpHandler handler) override { on_key_up_ = std::move(handler); }
  void OnMouseDown(MouseHandler handler) override { on_mouse_down_ = std::move(handler); }
  void OnMouseUp(MouseHandler handler) override { on_mouse_up_ = std::move(handler); }

  // Types one ASCII character (8 is backspace) as a user would: key press,
  // then the edit itself, then key release. A disabled box ignores it.
  void Type(char ch);
  // Types every character of `text`.
  void TypeText(const std::string& text);
  // Presses and releases a key that types no character (an arrow, Shift):
  // only the key release is raised.
  void PressKey(int16_t key_code);
  // Pastes text at the end, within the maximum length; no key events.
  void Paste(const std::string& text);
  // Presses and releases the left mouse button; `between` runs in between.
  void ClickMouse(const std::function<void()>& between = {});

 private:
  std::string text_ = design_.design_text;
  bool enabled_ = true;
  KeyPressHandler on_key_press_;
  KeyUpHandler on_key_up_;
  MouseHandler on_mouse_down_;
  MouseHandler on_mouse_up_;
};

class MemoryCombo final : public MemoryControl, public ComboBox {
 public:
  using MemoryControl::MemoryControl;
  void Clear() override;
  void AddItem(const std::string& text) override { items_.push_back(text); }
  int ListCount() const override { return static_cast<int>(items_.size()); }
  int ListIndex() const override { return index_; }
  StatusOr<std::string> List(int index) const override;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  // Chooses the item at `index` as a user would (-1 for none).
  void Choose(int index) { index_ = index; }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  bool enabled_ = true;
};

class MemoryTree final : public MemoryControl, public TreeView {
 public:
  using MemoryControl::MemoryControl;
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
  bool Enabled() const override { return true; }
  void SetFocus() override { TakeFocus(); }
  // Clicks the node with `key`; returns false for an unknown key.
  bool ClickNode(const std::string& key);

  // Fails every AddNode after `count` more successful ones (nothing: never).
  std::optional<int> fail_add_after;

 private:
  // The window rebuilds this tree with up to 100,000 memos after every save,
  // so nodes live in flat storage that a rebuild reuses: the store keeps the
  // key and text of every node by id and finds a key, siblings are linked by
  // id. Clear keeps all capacity, so a rebuild of the same size allocates
  // nothing.
  static constexpr int kNone = TreeNodeStore::kNone;
  struct Node {
    int parent;
    int first_child = kNone;
    int last_child = kNone;
    int next_sibling = kNone;
    bool expanded = false;
  };
  std::string Key(int id) const { return std::string(store_.Key(id)); }
  TreeNode NodeAt(int id) const;
  // The id of the node with `key`, or kNone.
  int Find(const std::string& key) const { return store_.Find(key); }

  TreeNodeStore store_;
  std::vector<Node> nodes_;  // by id, as in store_
  int first_top_ = kNone;
  int last_top_ = kNone;
  std::function<void(const TreeNode&)> on_node_click_;
};

class MemoryToolkit;

class MemoryFormWindow final : public FormWindow {
 public:
  MemoryFormWindow(const FormDesign& design, MemoryToolkit& toolkit);
  ~MemoryFormWindow() override;

  WindowHandle Handle() const override { return handle_; }
  int ControlCount() const override { return static_cast<int>(controls_.size()); }
  Control* ControlAt(int index) override;
  Control* FindControl(const std::string& name) override;
  Status ShowModal(FormEvents& sink) override;
  void Unload() override;
  Status BringToFront() override;
  std::string Title() const override { return title_; }
  void UseLanguage(const std::string& language) override { toolkit_language = language; }

  // Typed access for tests; nullptr when the name or the kind does not fit.
  MemoryButton* Button(const std::string& name);
  MemoryEdit* Edit(const std::string& name);
  MemoryCombo* Combo(const std::string& name);
  MemoryTree* Tree(const std::string& name);
  MemoryLabel* LabelNamed(const std::string& name);

  // Raises a resize or an activation, as the system would.
  void Resize();
  void Activate();
  // Presses Escape: clicks the cancel button.
  void PressEscape();

  bool IsShown() const { return shown_; }
  const FormDesign& Design() const { return design_; }
  // The name of the control that was given the focus last, "" for none.
  const std::string& FocusedControl() const { return focus_; }
  // Whether showing the window activates it; a window system may not.
  bool activate_when_shown = true;
  std::string toolkit_language;  // as given to UseLanguage
  int bring_to_front_calls = 0;
  std::vector<std::string> events;  // "load", "resize", "activate", "unload"

 private:
  FormDesign design_;
  MemoryToolkit& toolkit_;
  std::vector<std::unique_ptr<MemoryControl>> controls_;
  std::string title_;
  std::string focus_;
  WindowHandle handle_ = 0;
  FormEvents* events_sink_ = nullptr;
  bool shown_ = false;
};

// Builds memory windows and records message boxes.
class MemoryToolkit final : public Toolkit {
 public:
  explicit MemoryToolkit(std::shared_ptr<MemoryWindowSystem> windows);

  StatusOr<std::unique_ptr<UiRuntimeLease>> AcquireRuntime() override;
  StatusOr<std::unique_ptr<FormWindow>> CreateForm(const FormDesign& design) override;
  void MessageBox(const std::string& text, int style,
                  const std::optional<std::string>& caption) override;

  struct MessageBoxCall {
    std::string text;
    int style = 0;
    std::optional<std::string> caption;
    std::string title;  // what the box shows in its title bar
  };
  std::vector<MessageBoxCall> message_boxes;

  // Runs while a window is shown modally, after load, resize and activate:
  // the user's session. The window closes (as by its close box) when the
  // script returns and has not closed it.
  std::function<void(MemoryFormWindow&)> while_shown;
  // Runs when a window has been built, before it is loaded.
  std::function<void(MemoryFormWindow&)> on_form_created;
  // Runs when a message box is shown, before it is recorded as closed.
  std::function<void(const MessageBoxCall&)> on_message_box;

  // When set, CreateForm fails with this status.
  std::optional<Status> fail_create_form;
  // When set, AcquireRuntime fails with this status.
  std::optional<Status> fail_runtime;

  MemoryFormWindow* last_form = nullptr;  // the window built last, while it exists
  int forms_created = 0;
  int live_leases = 0;
  std::shared_ptr<MemoryWindowSystem> window_system;
};

// A whole platform of memory doubles over the given resource library.
struct MemoryPlatform {
  std::shared_ptr<MemoryWindowSystem> window_system;
  std::shared_ptr<MemoryToolkit> toolkit;
  std::shared_ptr<MemorySystemLanguage> system_language;
  std::shared_ptr<Platform> platform;
};
// `database` may be empty: every database action then fails.
MemoryPlatform MakeMemoryPlatform(std::shared_ptr<resources::ResourceLibrary> resources,
                                  uint16_t system_lang_id = langid::kChineseSimplified,
                                  std::shared_ptr<db::Client> database = nullptr);

}  // namespace agendia::platform::memory
