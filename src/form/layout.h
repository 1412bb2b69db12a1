#pragma once

#include "platform/form_window.h"

namespace agendia {

// The design of the calendar window: frame, size and every control with its
// place, tab order, design text, font and settings.
const platform::FormDesign& CalendarFormDesign();

}  // namespace agendia
