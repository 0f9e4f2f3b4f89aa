// Whether an X display can be opened, and why not. Xlib only tells that
// opening failed; the X server's own reason for refusing a client goes to
// standard error from the library, raw and with a blank line after it, so
// it is caught and quoted in our one line instead.
//
// The probe's connection stays open until SDL's own is up: where we are the
// server's only client (xinit, xvfb-run), closing it would have the server
// reset itself just as SDL connects.
#include <X11/Xlib.h>

#include <string>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/X11/X11Internal.h"

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

void ReleaseDisplayProbe() {
    if (heldProbe != nullptr) XCloseDisplay(heldProbe);
    heldProbe = nullptr;
}

}  // namespace win32user
