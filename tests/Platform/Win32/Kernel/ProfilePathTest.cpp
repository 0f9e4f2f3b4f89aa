// Where the bare settings name lies when a screensaver host has stripped the
// environment of its XDG and HOME variables.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Platform/Win32/Kernel/ProfilePath.h"
#include "Platform/Win32/Win32.h"

namespace {

// Sets or unsets a variable for the life of the object, then puts it back.
class Variable {
public:
    Variable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~Variable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProfilePath, ABareNameFallsBackToHomeAndThenToTheUserDatabase) {
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    const std::string userHome = user->pw_dir;
    Win32SetProfileFolder("vantel");
    struct Case {
        const char* what;
        const char* configHome;
        const char* home;
        std::string path;
    };
    const Case cases[] = {
        {"XDG_CONFIG_HOME", "/x/config", "/x/home", "/x/config/vantel/Vantel.ini"},
        {"a relative XDG_CONFIG_HOME", "config", "/x/home", "/x/home/.config/vantel/Vantel.ini"},
        {"HOME only", nullptr, "/x/home", "/x/home/.config/vantel/Vantel.ini"},
        {"neither", nullptr, nullptr, userHome + "/.config/vantel/Vantel.ini"},
        {"an empty HOME", nullptr, "", userHome + "/.config/vantel/Vantel.ini"},
    };
    for (const Case& c : cases) {
        const Variable configHome("XDG_CONFIG_HOME", c.configHome);
        const Variable home("HOME", c.home);
        const std::optional<win32_kernel::ProfileLocation> location =
            win32_kernel::ResolveProfilePath("Vantel.ini");
        ASSERT_TRUE(location.has_value()) << c.what;
        EXPECT_EQ(location->path, c.path) << c.what;
    }
    Win32SetProfileFolder(nullptr);
}

}  // namespace
