#pragma once

#include "platform/form_window.h"

#include <agendia/status.h>

#include <memory>
#include <optional>
#include <string>

namespace agendia::platform {

// Message-box styles: OK button only, with or without an icon.
namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
}  // namespace mb

// The title of a message box that is given no caption of its own.
inline constexpr const char* kDefaultApplicationTitle = "AgendiaVB";

// Keeps the toolkit's runtime alive while held.
class UiRuntimeLease {
 public:
  virtual ~UiRuntimeLease() = default;
};

// Builds windows and shows message boxes.
class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Makes sure the toolkit can build windows on this thread, starting its
  // runtime when none is running. The runtime lives until the lease goes.
  virtual StatusOr<std::unique_ptr<UiRuntimeLease>> AcquireRuntime() = 0;

  // Builds the window of `design`; it is not shown yet.
  virtual StatusOr<std::unique_ptr<FormWindow>> CreateForm(const FormDesign& design) = 0;

  // A modal message box with an OK button. `style` is one of mb::*. Without a
  // caption the box carries kDefaultApplicationTitle.
  virtual void MessageBox(const std::string& text, int style,
                          const std::optional<std::string>& caption) = 0;
};

}  // namespace agendia::platform
