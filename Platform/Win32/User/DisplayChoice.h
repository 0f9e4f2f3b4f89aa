// Which display system windows open on: the rule alone, apart from the code
// that speaks to either system. Wayland comes first where its compositor
// answers: every Wayland session names an X display too (XWayland's), where
// a window covers the outputs only as the compositor's X windows may.
#pragma once

#include <functional>
#include <string>

namespace win32user {

enum class DisplaySystem { Neither, Wayland, X11 };

struct DisplayNames {
    const char* x11 = nullptr;      // DISPLAY's value; null or empty: unset
    const char* wayland = nullptr;  // WAYLAND_DISPLAY's
    bool x11Only = false;           // only an X display will do (other programs' X windows)
};

struct DisplayChoice {
    DisplaySystem system = DisplaySystem::Neither;
    std::string name;  // the display's name; empty for none
    // For a developer: which display and why ("the X display :0: only
    // DISPLAY is set").
    std::string why;
    // For Neither: what failed, in a few words for the program's one line.
    std::string problem;
};

// Tries the display `name` of one system and says why it cannot be used:
// empty when it can, and then it stays connected.
using DisplayTry = std::function<std::string(const char* name)>;

// Wayland where WAYLAND_DISPLAY is set and its compositor can show our
// frames, unless only X will do; else the X display DISPLAY names where it
// can be opened; else none, with the problem of the display that would have
// been chosen first. Each display is tried at most once, and only when the
// rule reaches it.
DisplayChoice ChooseDisplay(const DisplayNames& names, const DisplayTry& tryWayland,
                            const DisplayTry& tryX11);

}  // namespace win32user
