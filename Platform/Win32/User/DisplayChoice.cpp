// The one place that picks the display system: the rule, then holding SDL
// to the chosen system's driver. Where DISPLAY names an X display that
// cannot be opened, SDL would quietly fall back on its invisible off-screen
// driver and the program would run unseen for good.
#include "Platform/Win32/User/DisplayChoice.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

bool Named(const char* name) {
    return name != nullptr && name[0] != '\0';
}

// Where no display has been chosen: DISPLAY, else WAYLAND_DISPLAY; null for neither.
const char* FirstNamed() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (Named(value)) return value;
    }
    return nullptr;
}

bool chosen = false;
DisplayChoice choice;
// Never destroyed: at exit the display may be gone before it.
DisplayServer* chosenServer = nullptr;

const DisplayChoice& Choice(bool x11Only) {
    if (chosen) return choice;
    chosen = true;
    std::unique_ptr<DisplayServer> wayland = MakeWaylandServer();
    std::unique_ptr<DisplayServer> x11 = MakeX11Server();
    choice = ChooseDisplay(
        {std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), x11Only},
        [&](const char* name) { return wayland->Start(name); },
        [&](const char* name) { return x11->Start(name); });
    if (choice.system == DisplaySystem::Wayland) chosenServer = wayland.release();
    if (choice.system == DisplaySystem::X11) chosenServer = x11.release();
    return choice;
}

DisplayChoice Chosen(DisplaySystem system, const char* name, const std::string& reason) {
    const char* kind = system == DisplaySystem::Wayland ? "Wayland" : "X";
    return {system, name, "the " + std::string(kind) + " display " + name + ": " + reason, {}};
}

DisplayChoice NoDisplay(const std::string& problem) {
    return {DisplaySystem::Neither, {}, {}, problem};
}

}  // namespace

DisplayChoice ChooseDisplay(const DisplayNames& names, const DisplayTry& tryWayland,
                            const DisplayTry& tryX11) {
    const bool x11 = Named(names.x11);
    const bool wayland = Named(names.wayland);
    std::string waylandProblem;
    if (wayland && !names.x11Only) {
        waylandProblem = tryWayland(names.wayland);
        if (waylandProblem.empty())
            return Chosen(DisplaySystem::Wayland, names.wayland,
                          x11 ? "its compositor answers, and Wayland comes before DISPLAY's X display"
                              : "only WAYLAND_DISPLAY is set");
    }
    if (!x11) {
        if (!waylandProblem.empty()) return NoDisplay(waylandProblem);
        return NoDisplay(
            wayland ? "no display to open a window on: only an X display will do, and DISPLAY is not set"
                    : "no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
    }
    const std::string x11Problem = tryX11(names.x11);
    if (!x11Problem.empty()) return NoDisplay(waylandProblem.empty() ? x11Problem : waylandProblem);
    if (names.x11Only) return Chosen(DisplaySystem::X11, names.x11, "only an X display will do");
    if (wayland)
        return Chosen(DisplaySystem::X11, names.x11, "the Wayland display will not do: " + waylandProblem);
    return Chosen(DisplaySystem::X11, names.x11, "only DISPLAY is set");
}

bool NarrowVideoDrivers() {
    const DisplayChoice& made = Choice(false);
    if (chosenServer != nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, chosenServer->SdlDriver());
        return true;
    }
    std::fprintf(stderr, "%s: %s\n", Win32ProgramName(), made.problem.c_str());
    return false;
}

DisplayServer* DisplayInUse() {
    if (chosenServer != nullptr) return chosenServer;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return nullptr;
    // SDL_VIDEODRIVER had SDL open the X display itself.
    static DisplayServer* sdlsOwn = MakeX11Server().release();
    return sdlsOwn;
}

}  // namespace win32user

const char* Win32ChooseDisplay(bool x11Only, std::string* why) {
    why->clear();
    if (win32user::Named(std::getenv("SDL_VIDEODRIVER"))) return win32user::FirstNamed();
    const win32user::DisplayChoice& made = win32user::Choice(x11Only);
    if (made.system == win32user::DisplaySystem::Neither) return nullptr;
    *why = made.why;
    return made.name.c_str();
}

const char* Win32DisplayName() {
    if (win32user::chosen && win32user::choice.system != win32user::DisplaySystem::Neither)
        return win32user::choice.name.c_str();
    const char* named = win32user::FirstNamed();
    return named != nullptr ? named : "(none)";
}
