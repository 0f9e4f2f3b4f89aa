// What each display system tells the chooser when its display will not do:
// one line's words, naming the display.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Platform/Win32/User/DisplayServer.h"

namespace {

using win32user::DisplayServer;

TEST(DisplayServerTest, EachSystemSaysWhyItsDisplayWillNotDo) {
    const struct {
        const char* what;
        std::unique_ptr<DisplayServer> (*make)();
        const char* name;
        const char* said;
    } cases[] = {
        {"no compositor listening", win32user::MakeWaylandServer, "/nonexistent/wayland-0",
         "cannot connect to the Wayland display /nonexistent/wayland-0: No such file or directory"},
        {"no X display's name", win32user::MakeX11Server, "nowhere",
         "cannot open the X display nowhere: that is no X display's name (such as :0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.make()->Start(c.name), c.said);
    }
}

}  // namespace
