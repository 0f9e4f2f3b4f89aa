// Which display system windows open on: Wayland before X where both are
// named, X alone for other programs' windows, and each display tried only
// when the rule gets to it.
#include <gtest/gtest.h>

#include <string>

#include "Platform/Win32/User/DisplayChoice.h"

namespace {

using win32user::DisplaySystem;

TEST(DisplayChoiceTest, WaylandComesFirstAndEachDisplayIsTriedOnlyWhenReached) {
    const struct {
        const char* what;
        const char* x11;
        const char* wayland;
        bool x11Only;
        const char* waylandProblem;  // null: not to be tried
        const char* x11Problem;      // null: not to be tried
        DisplaySystem system;
        const char* said;  // why, or the problem for none
    } cases[] = {
        {"both answer", ":9", "wl-9", false, "", nullptr, DisplaySystem::Wayland,
         "the Wayland display wl-9: its compositor answers, and Wayland comes before DISPLAY's X display"},
        {"Wayland alone", nullptr, "wl-9", false, "", nullptr, DisplaySystem::Wayland,
         "the Wayland display wl-9: only WAYLAND_DISPLAY is set"},
        {"X alone", ":9", "", false, nullptr, "", DisplaySystem::X11,
         "the X display :9: only DISPLAY is set"},
        {"the compositor fails", ":9", "wl-9", false, "no wl-9", "", DisplaySystem::X11,
         "the X display :9: the Wayland display will not do: no wl-9"},
        {"a host's window", ":9", "wl-9", true, nullptr, "", DisplaySystem::X11,
         "the X display :9: only an X display will do"},
        {"both fail", ":9", "wl-9", false, "no wl-9", "no :9", DisplaySystem::Neither, "no wl-9"},
        {"X fails alone", ":9", nullptr, false, nullptr, "no :9", DisplaySystem::Neither, "no :9"},
        {"a host's window without X", nullptr, "wl-9", true, nullptr, nullptr, DisplaySystem::Neither,
         "no display to open a window on: only an X display will do, and DISPLAY is not set"},
        {"none", "", nullptr, false, nullptr, nullptr, DisplaySystem::Neither,
         "no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY is set"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string tried;
        const auto attempt = [&tried](const char* answer) {
            return [&tried, answer](const char* name) {
                tried += std::string(name) + " ";
                return std::string(answer != nullptr ? answer : "not to be tried");
            };
        };
        const win32user::DisplayChoice choice = win32user::ChooseDisplay(
            {c.x11, c.wayland, c.x11Only}, attempt(c.waylandProblem), attempt(c.x11Problem));
        EXPECT_EQ(choice.system, c.system);
        EXPECT_EQ(c.system == DisplaySystem::Neither ? choice.problem : choice.why, c.said);
        std::string expected;
        if (c.waylandProblem != nullptr) expected += std::string(c.wayland) + " ";
        if (c.x11Problem != nullptr) expected += std::string(c.x11) + " ";
        EXPECT_EQ(tried, expected);
        const char* name = c.system == DisplaySystem::Wayland ? c.wayland : c.x11;
        EXPECT_EQ(choice.name, c.system == DisplaySystem::Neither ? "" : name);
    }
}

}  // namespace
