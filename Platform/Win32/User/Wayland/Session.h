// Running on a Wayland display without SDL's Wayland driver, which loads EGL
// and GL for every window it makes: SDL runs its off-screen driver (windows
// without pixels of their own, and the event queue), and the display is
// ours: its outputs are the monitors, and a window's pixels go to surfaces
// of ours on every output.
#pragma once

#include <SDL.h>
#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Win32/User/Wayland/Connection.h"
#include "Platform/Win32/User/Wayland/Globals.h"
#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/User/WindowSight.h"

namespace win32user {

// Connects to the Wayland display `name`. Empty when it could; else why
// not, in a few words naming the display: it cannot be reached or cannot
// show our frames (no shared memory in XRGB8888, no xdg-shell).
std::string StartWaylandSession(const char* name);
// True once StartWaylandSession succeeded.
bool OnWaylandSession();
// The session's connection and what its compositor offers; null off it.
Connection* WaylandConnection();
Globals* WaylandGlobals();
// Where the outputs lie, in the compositor's space.
std::vector<SDL_Rect> WaylandOutputBounds();
// Takes what the compositor said, without waiting: input becomes SDL
// events, a change of the outputs WM_DISPLAYCHANGE, a closed surface a
// close request for the active window.
void PumpWaylandSession();
// While one lives, SIGINT and SIGTERM, which SDL makes quit events of, are
// held back but in WaitForWayland: one that comes while its maker looks for
// events cuts the next wait short instead of being slept through.
class QuitSignalsHeld {
public:
    QuitSignalsHeld();
    ~QuitSignalsHeld();
    QuitSignalsHeld(const QuitSignalsHeld&) = delete;
    QuitSignalsHeld& operator=(const QuitSignalsHeld&) = delete;

private:
    friend void WaitForWayland(int timeoutMs, const QuitSignalsHeld& held);
    sigset_t before_;
};
// Waits up to `timeoutMs` (-1: without end) for the compositor to say
// something, or for a signal.
void WaitForWayland(int timeoutMs, const QuitSignalsHeld& held);

// Over shared-memory buffers on surfaces of our own; null off the session.
std::unique_ptr<WindowPixels> MakeWaylandWindowPixels(SDL_Window* window);
// Whether the compositor repaints our surfaces; null off the session.
std::unique_ptr<WindowSight> MakeWaylandWindowSight();

}  // namespace win32user
