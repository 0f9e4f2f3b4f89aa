#include "Platform/Win32/User/Wayland/Session.h"

#include <cerrno>
#include <cstring>

#include "Platform/Win32/User/UserInternal.h"

namespace win32user {
namespace {

// Never destroyed: at exit the compositor may be gone before them.
Connection* connection = nullptr;
Screen* screen = nullptr;
unsigned seenChanges = 0;

}  // namespace

std::string StartWaylandSession(const char* name) {
    wl_display* display = wl_display_connect(name);
    if (display == nullptr)
        return "cannot connect to the Wayland display " + std::string(name) + ": " + std::strerror(errno);
    connection = new Connection(display, name);
    screen = new Screen(connection);
    if (screen->Problem().empty()) {
        seenChanges = screen->Changes();
        return {};
    }
    const std::string problem =
        "cannot show frames on the Wayland display " + std::string(name) + ": " + screen->Problem();
    delete screen;
    delete connection;
    screen = nullptr;
    connection = nullptr;
    wl_display_disconnect(display);
    return problem;
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
