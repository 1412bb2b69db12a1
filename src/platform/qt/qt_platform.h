#pragma once

#include "platform/system_language.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"

#include <memory>

namespace agendia::platform {

// The Qt 6 Widgets platform services. None of them starts Qt by itself except
// Toolkit::AcquireRuntime; every window operation needs a running
// QApplication on the calling thread.

// Window handles are the widgets' native ids (QWidget::winId), cut to 32 bits.
std::unique_ptr<WindowSystem> MakeQtWindowSystem();

// Builds forms as QDialogs and shows QMessageBoxes. AcquireRuntime creates
// the QApplication when the process has none, and fails (instead of letting Qt
// abort the process) when no display is available.
std::unique_ptr<Toolkit> MakeQtToolkit();

// The language of the process locale: LC_ALL, then LC_MESSAGES, then LANG.
std::unique_ptr<SystemLanguage> MakeQtSystemLanguage();

}  // namespace agendia::platform
