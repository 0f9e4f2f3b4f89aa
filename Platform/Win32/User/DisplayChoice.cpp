#include "Platform/Win32/User/DisplayChoice.h"

namespace win32user {
namespace {

bool Named(const char* name) {
    return name != nullptr && name[0] != '\0';
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

}  // namespace win32user
