// Where the bare settings name lies when a screensaver host has stripped the
// environment of its XDG and HOME variables.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "Platform/Win32/Profile/ProfilePath.h"
#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

namespace {

TEST(ProfilePathTest, ABareNameFallsBackToHomeAndThenToTheUserDatabase) {
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    const std::string userHome = user->pw_dir;
    struct Case {
        const char* configHome;  // null: unset
        const char* home;
        std::string path;
    };
    const Case cases[] = {
        {"/x/config", "/x/home", "/x/config/vantel/Vantel.ini"},
        {"config", "/x/home", "/x/home/.config/vantel/Vantel.ini"},  // a relative one is ignored
        {nullptr, "/x/home", "/x/home/.config/vantel/Vantel.ini"},
        {nullptr, nullptr, userHome + "/.config/vantel/Vantel.ini"},
        {nullptr, "", userHome + "/.config/vantel/Vantel.ini"},
    };
    for (const Case& c : cases) {
        // In a child, whose environment may be stripped for good.
        const int resolved = kernel_test::RunInChild([&] {
            c.configHome != nullptr ? setenv("XDG_CONFIG_HOME", c.configHome, 1)
                                    : unsetenv("XDG_CONFIG_HOME");
            c.home != nullptr ? setenv("HOME", c.home, 1) : unsetenv("HOME");
            Win32SetProfileFolder("vantel");
            const auto location = win32_profile::ResolveProfilePath("Vantel.ini");
            return location && location->path == c.path ? 0 : 1;
        });
        EXPECT_EQ(resolved, 0) << (c.configHome ? c.configHome : "(unset)") << ", "
                               << (c.home ? c.home : "(unset)");
    }
}

}  // namespace
