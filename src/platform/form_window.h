#pragma once

#include "platform/controls.h"
#include "platform/window_system.h"

#include <agendia/status.h>

#include <optional>
#include <string>
#include <vector>

namespace agendia::platform {

inline constexpr int kTwipsPerInch = 1440;

// One control of a window's design. Positions are twips from the top-left
// corner of the client area.
struct ControlDesign {
  std::string name;
  ControlKind kind = ControlKind::kLabel;
  int left = 0, top = 0, width = 0, height = 0;
  int tab_index = -1;               // -1: not a tab stop (the caption bar)
  std::string design_text;          // caption or text at design time
  std::optional<FontDesign> font;     // nothing: the control's own default font
  int max_length = 0;               // edit boxes; 0 = no limit
  bool multi_line = false;          // edit boxes
  bool visible = true;
  bool cancel = false;              // the button that Escape presses
  std::string excluded_chars;       // edit boxes: the design's excluded-character setting
  std::string path_separator;       // tree view
};

// The design of a whole window: fixed dialog frame, not in the task bar,
// centred on the screen at start-up.
struct FormDesign {
  std::string caption;              // the window's own caption
  int client_width = 0;             // twips
  int client_height = 0;            // twips
  std::vector<ControlDesign> controls;  // in the order of the controls collection
};

// The window's events as the window raises them.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // Raised first, before the window is visible. A failure ends the show: the
  // window is not shown and ShowModal returns that failure.
  virtual Status Form_Load() = 0;
  // Raised when the window is first shown and whenever it is sized again.
  virtual void Form_Resize() = 0;
  // Raised each time the window becomes the active window.
  virtual void Form_Activate() = 0;
  // Raised once when the window closes, however it closes.
  virtual void Form_Unload() = 0;
};

// A window built from a FormDesign. The window object outlives the native
// window: after unload its controls remain as objects, but operations on them
// no longer reach the screen.
class FormWindow {
 public:
  virtual ~FormWindow() = default;

  // The native handle of the top-level window; 0 once it has been unloaded.
  virtual WindowHandle Handle() const = 0;

  // The controls collection, in the order of the design.
  virtual int ControlCount() const = 0;
  virtual Control* ControlAt(int index) = 0;
  // The control named `name`, or nullptr.
  virtual Control* FindControl(const std::string& name) = 0;

  // Loads the window (Form_Load), shows it modally and returns when it has
  // been closed and unloaded. Returns the load failure, if any.
  virtual Status ShowModal(FormEvents& events) = 0;

  // Closes and unloads the window, as the close box does. Does nothing when
  // it is not shown.
  virtual void Unload() = 0;

  // Brings the open window to the front and gives it the focus. Fails when
  // the window is not shown.
  virtual Status BringToFront() = 0;

  // The window's title as it shows it.
  virtual std::string Title() const = 0;

  // The language of the texts the toolkit supplies itself (the standard
  // buttons of message boxes, the edit boxes' context menus) while the window
  // is loaded: "zh-cn", "zh-tw" or "en-us", in any letter case; any other
  // code leaves the toolkit's own language.
  virtual void UseLanguage(const std::string& language) = 0;
};

}  // namespace agendia::platform
