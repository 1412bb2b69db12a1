#pragma once

#include "platform/system_language.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"

#include <memory>
#include <string>

namespace agendia::platform {

// The Win32 platform services. Every window operation runs on the calling
// thread, which must pump its messages (an apartment thread of the host).

// GetParent, EnableWindow and SetWindowLongPtrW(GWLP_HWNDPARENT).
std::unique_ptr<WindowSystem> MakeWin32WindowSystem();

// Builds forms as dialogs of native controls and shows MessageBoxW.
std::unique_ptr<Toolkit> MakeWin32Toolkit();

// GetSystemDefaultLangID.
std::unique_ptr<SystemLanguage> MakeWin32SystemLanguage();

// The folder of the module this adapter is linked into (the DLL, not the
// host's executable), in UTF-8, without a trailing separator.
std::string Win32ModuleDirectory();

}  // namespace agendia::platform
