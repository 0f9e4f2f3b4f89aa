// Whether anybody can see a window, for a program that draws nothing while
// nobody can. One per window, made on first use: on X11 over a connection of
// our own, on Wayland over the session's; elsewhere every window counts as
// seen.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {

// The power of a display's monitors, as DPMS numbers its levels.
enum class PowerLevel { On, Standby, Suspend, Off };

class WindowSight {
public:
    virtual ~WindowSight() = default;
    // As Win32WindowSeen.
    virtual bool Seen() = 0;
    // As Win32AwaitSight.
    virtual void Await() = 0;
};

// The power a test pretends the display reports (Win32PretendDisplayPower);
// nothing when the display is to be asked.
std::optional<PowerLevel> PretendedPower();

// Lets go of a window's sight, before its SDL window goes.
void ForgetSight(HWND hWnd);

}  // namespace win32user
