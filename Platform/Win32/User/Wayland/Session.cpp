#include "Platform/Win32/User/Wayland/Session.h"

#include <cerrno>
#include <cstring>

#include "Platform/Win32/User/UserInternal.h"

namespace win32user {
namespace {

// Never destroyed: at exit the compositor may be gone before them.
Connection* connection = nullptr;
Globals* globals = nullptr;
unsigned seenChanges = 0;

}  // namespace

std::string StartWaylandSession(const char* name) {
    wl_display* display = wl_display_connect(name);
    if (display == nullptr)
        return "cannot connect to the Wayland display " + std::string(name) + ": " + std::strerror(errno);
    connection = new Connection(display, name);
    globals = new Globals(connection);
    if (globals->Problem().empty()) {
        seenChanges = globals->Changes();
        return {};
    }
    const std::string problem =
        "cannot show frames on the Wayland display " + std::string(name) + ": " + globals->Problem();
    delete globals;
    delete connection;
    globals = nullptr;
    connection = nullptr;
    wl_display_disconnect(display);
    return problem;
}

bool OnWaylandSession() {
    return globals != nullptr;
}

Connection* WaylandConnection() {
    return connection;
}

Globals* WaylandGlobals() {
    return globals;
}

std::vector<SDL_Rect> WaylandOutputBounds() {
    std::vector<SDL_Rect> bounds;
    if (globals == nullptr) return bounds;
    for (const auto& output : globals->Outputs()) {
        RECT place;
        if (output->Placed(&place))
            bounds.push_back(
                SDL_Rect{place.left, place.top, place.right - place.left, place.bottom - place.top});
    }
    return bounds;
}

QuitSignalsHeld::QuitSignalsHeld() {
    sigset_t quit;
    sigemptyset(&quit);
    sigaddset(&quit, SIGINT);
    sigaddset(&quit, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quit, &before_);
}

QuitSignalsHeld::~QuitSignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void WaitForWayland(int timeoutMs, const QuitSignalsHeld& held) {
    if (connection != nullptr) connection->Dispatch(timeoutMs, &held.before_);
}

void PumpWaylandSession() {
    if (globals == nullptr) return;
    connection->Dispatch(0);
    bool closeAsked = false;
    for (auto& output : globals->Outputs()) closeAsked = output->TakeCloseAsked() || closeAsked;
    if (closeAsked) {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&event);
    }
    const unsigned changes = globals->Changes();
    if (changes == seenChanges) return;
    seenChanges = changes;
    CheckDisplayLayout();
}

}  // namespace win32user
