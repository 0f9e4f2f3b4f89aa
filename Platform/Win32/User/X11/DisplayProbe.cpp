// Which display SDL may open. Where DISPLAY names an X display that cannot
// be opened, SDL would quietly fall back on its invisible off-screen driver
// and the program would run unseen for good; so SDL is held to the driver
// of the display that was found. Xlib only tells that opening failed; the X
// server's own reason for refusing a client goes to standard error from the
// library, raw and with a blank line after it, so it is caught and quoted
// in our one line instead.
//
// The probe's connection stays open until SDL's own is up: where we are the
// server's only client (xinit, xvfb-run), closing it would have the server
// reset itself just as SDL connects.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

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
    const char* x11 = std::getenv("DISPLAY");
    const bool wayland = Set(std::getenv("WAYLAND_DISPLAY"));
    if (Set(x11)) {
        const std::string problem = XDisplayProblem(x11);
        if (problem.empty()) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
            return true;
        }
        if (!wayland) {
            std::fprintf(stderr, "%s: cannot open the X display %s: %s\n", Win32ProgramName(), x11,
                         problem.c_str());
            return false;
        }
    }
    // SDL's Wayland driver would load EGL and GL for every window.
    if (!StartWaylandSession()) return false;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    return true;
}

void ReleaseDisplayProbe() {
    if (heldProbe != nullptr) XCloseDisplay(heldProbe);
    heldProbe = nullptr;
}

}  // namespace win32user

const char* Win32DisplayName() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (Set(value)) return value;
    }
    return "(none)";
}
