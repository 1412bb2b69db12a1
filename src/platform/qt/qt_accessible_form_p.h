#pragma once

namespace agendia::platform::qt {

// Makes assistive technology see only the controls of a form dialog that are
// meant to be seen: a control the design hides (the end-day field and its
// label) is left out of the dialog's accessible children, where Qt would list
// it as an invisible child. Installed once per process; harmless to call
// again.
void InstallFormAccessibility();

}  // namespace agendia::platform::qt
