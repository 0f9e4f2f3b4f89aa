#include "Platform/Win32/User/Wayland/Session.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

// Never destroyed: at exit the compositor may be gone before them.
Connection* connection = nullptr;
Screen* screen = nullptr;
unsigned seenChanges = 0;

}  // namespace

bool StartWaylandSession() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot connect to the Wayland display %s: %s\n", Win32ProgramName(), name,
                     std::strerror(errno));
        return false;
    }
    connection = new Connection(display, name);
    screen = new Screen(connection);
    if (screen->Problem().empty()) {
        seenChanges = screen->Changes();
        return true;
    }
    std::fprintf(stderr, "%s: cannot show frames on the Wayland display %s: %s\n", Win32ProgramName(), name,
                 screen->Problem().c_str());
    delete screen;
    delete connection;
    screen = nullptr;
    connection = nullptr;
    wl_display_disconnect(display);
    return false;
}

bool OnWaylandSession() {
    return screen != nullptr;
}

Connection* WaylandConnection() {
    return connection;
}

Screen* WaylandScreen() {
    return screen;
}

std::vector<SDL_Rect> WaylandOutputBounds() {
    std::vector<SDL_Rect> bounds;
    if (screen == nullptr) return bounds;
    for (const auto& output : screen->Outputs()) {
        RECT place;
        if (output->Placed(&place))
            bounds.push_back(
                SDL_Rect{place.left, place.top, place.right - place.left, place.bottom - place.top});
    }
    return bounds;
}

void WaitForWayland(int timeoutMs) {
    if (connection != nullptr) connection->Dispatch(timeoutMs);
}

void PumpWaylandSession() {
    if (screen == nullptr) return;
    connection->Dispatch(0);
    bool closeAsked = false;
    for (auto& output : screen->Outputs()) closeAsked = output->TakeCloseAsked() || closeAsked;
    if (closeAsked) {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&event);
    }
    const unsigned changes = screen->Changes();
    if (changes == seenChanges) return;
    seenChanges = changes;
    CheckDisplayLayout();
}

}  // namespace win32user
