#pragma once

#include <Qt>

#include <cstdint>

class QKeyEvent;

namespace agendia::platform::qt {

// The character code an edit box's key press reports for `event`: the UTF-16
// code unit of the typed character, 8 for Backspace. 0 for keys that type no
// character and for keys the dialog itself handles (Escape, Tab, Delete):
// those raise no key press.
int16_t KeyPressCode(const QKeyEvent& event);

// The host's virtual key code of a key release: letters and digits their
// upper-case ASCII code, the usual Windows codes for editing, navigation and
// modifier keys, and the low 16 bits of the Qt key otherwise.
int16_t VirtualKeyCode(int qt_key);

// The host's shift state: 1 Shift, 2 Ctrl, 4 Alt.
int16_t ShiftState(Qt::KeyboardModifiers modifiers);

// The host's mouse button code: 1 left, 2 right, 4 middle, 0 others.
int16_t MouseButtonCode(Qt::MouseButton button);

}  // namespace agendia::platform::qt
