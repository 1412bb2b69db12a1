#pragma once

#include "platform/window_system.h"

#include <cstdint>

namespace agendia::pub {

// Per-thread state shared by every Calender object and window of a thread;
// each thread starts with both zeroed.

// -1 while a calendar window exists on this thread, 0 otherwise.
extern thread_local int16_t g_bFormOpen;
// The portal window that owns the calendar window; 0 when none is known.
extern thread_local platform::WindowHandle g_hPortal;

// Makes `owner` the owner of `window` and returns the previous owner.
int32_t SetWindowOwner(platform::WindowSystem& window_system, int32_t window, int32_t owner);

}  // namespace agendia::pub
