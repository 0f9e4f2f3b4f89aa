// Full screen on X11 asked of the window manager before a window is first
// mapped, as the window's initial _NET_WM_STATE. SDL's own full screen asks
// again once the window is mapped and then waits up to 100 ms for the window
// manager to move or resize it, which never happens to a window that already
// covers the screen: that wait alone would hold back the first frame drawn into it.
#include <SDL_syswm.h>
#include <X11/Xatom.h>

#include "Platform/Win32/User/UserInternal.h"

namespace win32user {

bool RequestFullScreenOnX11(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, info.info.x11.window, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&fullScreen), 1);
    return true;
}

}  // namespace win32user
