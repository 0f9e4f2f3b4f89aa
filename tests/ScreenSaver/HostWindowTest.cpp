#include <gtest/gtest.h>

#include "ScreenSaver/HostWindow.h"

namespace {

using Kind = HostRequest::Kind;

struct HostCase {
    const char* commandLine;
    const char* variable;  // XSCREENSAVER_WINDOW, null when unset
    Kind kind;
    std::uint64_t window;
};

const char* Name(Kind kind) {
    switch (kind) {
        case Kind::OwnWindow:
            return "own window";
        case Kind::HostWindow:
            return "host window";
        case Kind::Invalid:
            return "invalid";
    }
    return "?";
}

TEST(HostWindow, TheCommandLineAndTheVariableChooseTheWindow) {
    const HostCase cases[] = {
        // The host's own ways: --root takes the variable, hex or decimal.
        {"--root", "0x2A00007", Kind::HostWindow, 0x2A00007},
        {"-root", "0x2a00007", Kind::HostWindow, 0x2A00007},
        {"--root", "44040199", Kind::HostWindow, 44040199},
        {"--root", "0XFF", Kind::HostWindow, 0xFF},
        // --window-id wins over the variable, wherever it stands.
        {"--root --window-id 0x400001", "0x2A00007", Kind::HostWindow, 0x400001},
        {"-window-id 123", nullptr, Kind::HostWindow, 123},
        {"--window-id 0xffffffff --root", nullptr, Kind::HostWindow, 0xFFFFFFFF},
        // The saver switch runs in the host's window when there is one.
        {"/s", "0x2A00007", Kind::HostWindow, 0x2A00007},
        {"-S 1234", "77", Kind::HostWindow, 77},
        {"/s", nullptr, Kind::OwnWindow, 0},
        {"/s", "", Kind::OwnWindow, 0},
        // Everything else is left to the command-line scan, variable or not.
        {"/c", "0x2A00007", Kind::OwnWindow, 0},
        {"--root /c", "0x2A00007", Kind::OwnWindow, 0},
        {"/p 1234", "0x2A00007", Kind::OwnWindow, 0},
        {"", "0x2A00007", Kind::OwnWindow, 0},
        {"x", "0x2A00007", Kind::OwnWindow, 0},
        {"---root", "0x2A00007", Kind::OwnWindow, 0},
        {"--rooted", "0x2A00007", Kind::OwnWindow, 0},
        // Asked for a host's window that cannot be had.
        {"--root", nullptr, Kind::Invalid, 0},
        {"--root", "", Kind::Invalid, 0},
        {"--root", "window", Kind::Invalid, 0},
        {"/s", "0x", Kind::Invalid, 0},
        {"/s", "0x12g", Kind::Invalid, 0},
        {"/s", "12 ", Kind::Invalid, 0},
        {"/s", "-5", Kind::Invalid, 0},
        {"--root", "0", Kind::Invalid, 0},
        {"--root", "0x100000000", Kind::Invalid, 0},
        {"--root", "99999999999999999999999", Kind::Invalid, 0},
        {"--window-id", "0x2A00007", Kind::Invalid, 0},
        {"--root --window-id", "0x2A00007", Kind::Invalid, 0},
        {"--window-id zz", nullptr, Kind::Invalid, 0},
    };
    for (const HostCase& c : cases) {
        const HostRequest request = FindHostWindow(c.commandLine, c.variable);
        const std::string shown =
            std::string("\"") + c.commandLine + "\" with " + (c.variable ? c.variable : "(unset)");
        EXPECT_STREQ(Name(request.kind), Name(c.kind)) << shown;
        EXPECT_EQ(request.window, c.window) << shown;
        // A refusal is one line for the user; anything else says nothing.
        if (c.kind == Kind::Invalid) {
            ASSERT_FALSE(request.problem.empty()) << shown;
            EXPECT_EQ(request.problem.find('\n'), request.problem.size() - 1) << shown;
        } else {
            EXPECT_EQ(request.problem, "") << shown;
        }
    }
}

TEST(HostWindow, TheRefusalSaysWhatIsMissing) {
    EXPECT_EQ(FindHostWindow("--root", nullptr).problem,
              "vantel: --root draws into a screensaver host's window, but XSCREENSAVER_WINDOW is not set\n");
    EXPECT_EQ(FindHostWindow("--window-id zz", nullptr).problem,
              "vantel: --window-id: \"zz\" is not a window id (0x and hex digits, or a decimal number)\n");
}

}  // namespace
