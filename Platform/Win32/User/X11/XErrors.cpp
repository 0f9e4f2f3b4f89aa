#include "Platform/Win32/User/X11/XErrors.h"

#include <cstdio>
#include <string>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

// The traps alive, innermost first (only the thread that drives the windows
// makes requests).
XErrorTrap* innermostTrap = nullptr;

// "X_FreeGC" for a core request; an extension's by its numbers ("130.3"):
// its name would take a request, which a handler of errors must not make.
std::string RequestName(Display* display, const XErrorEvent& error) {
    const std::string number = std::to_string(error.request_code);
    if (error.request_code >= 128) return "request " + number + "." + std::to_string(error.minor_code);
    char name[128] = "";
    XGetErrorDatabaseText(display, "XRequest", number.c_str(), "", name, sizeof name);
    return name[0] != '\0' ? std::string(name) : "request " + number;
}

// Ends at once as on a lost display: exit handlers could wait for answers
// from a server that already told us no.
[[noreturn]] void EndOnUnexpected(Display* display, const XErrorEvent& error) {
    char what[256] = "";
    XGetErrorText(display, error.error_code, what, sizeof what);
    std::fprintf(stderr, "%s: the X display %s refused a request (%s): %s\n", Win32ProgramName(),
                 DisplayString(display), RequestName(display, error).c_str(), what);
    Win32EndProcessAtOnce(1);
}

int OnXError(Display* display, XErrorEvent* error) {
    // A window gone is noted even when a trap expected the failure.
    const bool windowGone = NoteAdoptedWindowError(*error);
    if (XErrorTrap::TakeError(display) || windowGone) return 0;
    EndOnUnexpected(display, *error);
}

}  // namespace

void HandleXErrors() {
    XSetErrorHandler(OnXError);
}

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_(innermostTrap) {
    HandleXErrors();
    XSync(display_, False);
    innermostTrap = this;
}

XErrorTrap::~XErrorTrap() {
    XSync(display_, False);
    innermostTrap = outer_;
}

bool XErrorTrap::Failed() {
    XSync(display_, False);
    return failed_;
}

bool XErrorTrap::TakeError(Display* display) {
    for (XErrorTrap* trap = innermostTrap; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ != display) continue;
        trap->failed_ = true;
        return true;
    }
    return false;
}

}  // namespace win32user
