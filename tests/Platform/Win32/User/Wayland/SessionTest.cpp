// A Wayland display that cannot show the saver's frames is refused at the
// start, in a few words naming what it lacks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "LackingCompositor.h"
#include "Platform/Win32/User/Wayland/Session.h"

namespace {

using vantel_test::LackingCompositor;
using vantel_test::Offer;

TEST(WaylandSessionTest, ADisplayLackingWhatFramesNeedIsRefusedInOneLine) {
    struct Case {
        const char* what;
        Offer offer;
        const char* said;
    };
    const Case cases[] = {
        {"no compositor",
         {false, true, true, true},
         "cannot show frames on the Wayland display vantel-lacking: the compositor offers no wl_compositor "
         "of "
         "version 4"},
        {"no shared memory",
         {true, false, false, true},
         "cannot show frames on the Wayland display vantel-lacking: the compositor offers no shared memory "
         "(wl_shm)"},
        {"no XRGB8888",
         {true, true, false, true},
         "cannot show frames on the Wayland display vantel-lacking: the compositor's shared memory takes no "
         "XRGB8888 pixels"},
        {"no xdg-shell",
         {true, true, true, false},
         "cannot show frames on the Wayland display vantel-lacking: the compositor offers no xdg_wm_base"},
    };
    char runtime[] = "/tmp/vantel-wayland-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LackingCompositor compositor("vantel-lacking", c.offer);
        EXPECT_EQ(win32user::StartWaylandSession("vantel-lacking"), c.said);
        EXPECT_FALSE(win32user::OnWaylandSession());
    }
    // And with none listening at all.
    EXPECT_EQ(win32user::StartWaylandSession("vantel-lacking"),
              "cannot connect to the Wayland display vantel-lacking: No such file or directory");
    rmdir(runtime);
}

}  // namespace
