// Which display SDL may open, by the rule of DisplayChoice.h. Where DISPLAY
// names an X display that cannot be opened, SDL would quietly fall back on
// its invisible off-screen driver and the program would run unseen for
// good; so SDL is held to the driver of the display that was chosen. Xlib
// only tells that opening failed; the X server's own reason for refusing a
// client goes to standard error from the library, raw and with a blank line
// after it, so it is caught and quoted in our one line instead.
//
// The probe's connection stays open until SDL's own is up: where we are the
// server's only client (xinit, xvfb-run), closing it would have the server
// reset itself just as SDL connects.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "Platform/Win32/User/DisplayChoice.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/Wayland/Session.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

struct Attempt {
    Display* display;
    std::string said;  // what the library wrote to standard error meanwhile
};

Attempt Open(const char* name) {
    Attempt attempt{nullptr, {}};
    attempt.said = win32user::SaidDuring([&] { attempt.display = XOpenDisplay(name); });
    return attempt;
}

// "host:display.screen": a screen that the display lacks fails like a
// display that is not there, so the display is asked without it.
std::string MissingScreen(const std::string& name, std::size_t dot) {
    const Attempt whole = Open(name.substr(0, dot).c_str());
    if (whole.display == nullptr) return {};
    const int screens = ScreenCount(whole.display);
    XCloseDisplay(whole.display);
    const std::string asked = name.substr(dot + 1);
    return screens == 1 ? "it has no screen " + asked + ", only screen 0"
                        : "it has no screen " + asked + ", only screens 0 to " + std::to_string(screens - 1);
}

bool Set(const char* value) {
    return value != nullptr && value[0] != '\0';
}

Display* heldProbe = nullptr;

// Where no display has been chosen: DISPLAY, else WAYLAND_DISPLAY; null for neither.
const char* FirstNamed() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (Set(value)) return value;
    }
    return nullptr;
}

std::string TryX11(const char* name) {
    const std::string problem = win32user::XDisplayProblem(name);
    return problem.empty() ? problem : "cannot open the X display " + std::string(name) + ": " + problem;
}

bool chosen = false;
win32user::DisplayChoice choice;

const win32user::DisplayChoice& Choice(bool x11Only) {
    if (chosen) return choice;
    chosen = true;
    choice = win32user::ChooseDisplay({std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), x11Only},
                                      win32user::StartWaylandSession, TryX11);
    return choice;
}

}  // namespace

namespace win32user {

std::string XDisplayProblem(const char* name) {
    const Attempt attempt = Open(name);
    if (attempt.display != nullptr) {
        ReleaseDisplayProbe();
        heldProbe = attempt.display;
        return {};
    }
    const std::string refusal = FirstLine(attempt.said);
    if (!refusal.empty()) return "the X server refused the connection: " + refusal;
    const std::string text = name;
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return "that is no X display's name (such as :0)";
    const std::size_t dot = text.find('.', colon);
    if (dot != std::string::npos) {
        const std::string missing = MissingScreen(text, dot);
        if (!missing.empty()) return missing;
    }
    return "no X server answers there";
}

bool NarrowVideoDrivers() {
    const DisplayChoice& made = Choice(false);
    switch (made.system) {
        case DisplaySystem::X11:
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
            return true;
        case DisplaySystem::Wayland:
            // SDL's Wayland driver would load EGL and GL for every window.
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
            return true;
        case DisplaySystem::Neither:
            break;
    }
    std::fprintf(stderr, "%s: %s\n", Win32ProgramName(), made.problem.c_str());
    return false;
}

void ReleaseDisplayProbe() {
    if (heldProbe != nullptr) XCloseDisplay(heldProbe);
    heldProbe = nullptr;
}

}  // namespace win32user

const char* Win32ChooseDisplay(bool x11Only, std::string* why) {
    why->clear();
    if (Set(std::getenv("SDL_VIDEODRIVER"))) return FirstNamed();
    const win32user::DisplayChoice& made = Choice(x11Only);
    if (made.system == win32user::DisplaySystem::Neither) return nullptr;
    *why = made.why;
    return made.name.c_str();
}

const char* Win32DisplayName() {
    if (chosen && choice.system != win32user::DisplaySystem::Neither) return choice.name.c_str();
    const char* named = FirstNamed();
    return named != nullptr ? named : "(none)";
}
