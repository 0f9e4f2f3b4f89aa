// What SDL's own X connection may hold for its event pump. The pump reads
// the socket several times over even when the server said nothing, and
// messages are looked for every frame: one look at the socket, without
// waiting, tells first. SDL still gets a pump now and then for its timed
// work (a focus change it lets settle) and for events Xlib's reading of a
// reply left queued where no look at the socket sees them.
#include <SDL_syswm.h>
#include <poll.h>

#include "Platform/Win32/User/X11/X11Internal.h"

namespace {

constexpr Uint64 kPumpAnywayMs = 250;

Display* sdlConnection = nullptr;
Uint64 lastPump = 0;

}  // namespace

namespace win32user {

void WatchSdlConnection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
        sdlConnection = info.info.x11.display;
}

bool SdlEventsMayWait() {
    if (sdlConnection == nullptr) return true;
    const Uint64 now = SDL_GetTicks64();
    bool may = now - lastPump >= kPumpAnywayMs || XEventsQueued(sdlConnection, QueuedAlready) > 0;
    if (!may) {
        pollfd connection{ConnectionNumber(sdlConnection), POLLIN, 0};
        may = poll(&connection, 1, 0) != 0;
    }
    if (may) lastPump = now;
    return may;
}

}  // namespace win32user
