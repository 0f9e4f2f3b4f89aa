// The power of an X display's monitors, as DPMS reports it. Apart from the
// rest: DPMS's headers define BOOL, and differently from Win32's.
#pragma once

#include <X11/Xlib.h>

#include <optional>

namespace win32user {

// True when the display has DPMS and can power its monitors down with it.
bool HasDpms(Display* display);
// The DPMS level of the monitors: 0 on, 1 standby, 2 suspend, 3 off;
// nothing when the display has no DPMS or it is disabled.
std::optional<int> DpmsLevel(Display* display);

}  // namespace win32user
