#include <gtest/gtest.h>

#include <climits>

#include "ScreenSaver/SaverOptions.h"

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

TEST(SaverOptionsTest, TheCommandLineAndTheVariableChooseTheWindow) {
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
        // A line of options is nothing but options: a switch in it is no switch.
        {"--root /c", "0x2A00007", Kind::HostWindow, 0x2A00007},
        {"--window-id=0x400001 --speed 3", nullptr, Kind::HostWindow, 0x400001},
        {"--window-id 5 --window-id 7", nullptr, Kind::HostWindow, 7},
        // Other options run as the saver switch does.
        {"--fps", "0x2A00007", Kind::HostWindow, 0x2A00007},
        {"--speed 3 /c", nullptr, Kind::OwnWindow, 0},
        // Everything else is left to the command-line scan, variable or not.
        {"/c", "0x2A00007", Kind::OwnWindow, 0},
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
        {"--fps --window-id", nullptr, Kind::Invalid, 0},
    };
    for (const HostCase& c : cases) {
        const HostRequest request = ReadSaverOptions(c.commandLine, c.variable).host;
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

TEST(SaverOptionsTest, TheRefusalSaysWhatIsMissing) {
    EXPECT_EQ(ReadSaverOptions("--root", nullptr).host.problem,
              "vantel: --root draws into a screensaver host's window, but XSCREENSAVER_WINDOW is not set\n");
    EXPECT_EQ(ReadSaverOptions("--window-id zz", nullptr).host.problem,
              "vantel: --window-id: \"zz\" is not a window id (0x and hex digits, or a decimal number)\n");
}

// The scene clamps the speed; beyond int's range it stays at an end.
TEST(SaverOptionsTest, OptionsOverrideTheSettings) {
    const struct {
        const char* commandLine;
        std::optional<int> speed;
        const char* texture;  // null: none
        bool frameRate;
        const char* asks;  // "help", "version" or ""
    } cases[] = {
        {"--root --speed 10 --fps", 10, nullptr, true, ""},
        {"-root --speed=3 --texture=/t/a.bmp", 3, "/t/a.bmp", false, ""},
        {"--root --texture \"/My Pictures/a.bmp\" --speed -7 --speed +6", 6, "/My Pictures/a.bmp", false, ""},
        {"--root --speed 99999999999999999999", INT_MAX, nullptr, false, ""},
        {"--root --speed=-99999999999999999999", INT_MIN, nullptr, false, ""},
        {"--root -h", {}, nullptr, false, "help"},
        {"--version", {}, nullptr, false, "version"},
    };
    for (const auto& c : cases) {
        const SaverOptions options = ReadSaverOptions(c.commandLine, "0x2A00007");
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(options.overrides.speed, c.speed);
        EXPECT_EQ(options.overrides.texture.value_or("(none)"), c.texture ? c.texture : "(none)");
        EXPECT_EQ(options.overrides.showFrameRate, c.frameRate);
        EXPECT_EQ(options.help ? "help" : options.version ? "version" : "", std::string(c.asks));
        EXPECT_EQ(options.warnings, "");
    }
}

// Each passed over with one line; the saver runs on in the host's window.
TEST(SaverOptionsTest, AnythingElseIsOneWarningEach) {
    const struct {
        const char* commandLine;
        const char* warnings;
    } cases[] = {
        {"--root -colors 64 --fps", "vantel: ignoring unknown option \"-colors 64\"\n"},
        {"--root /c stray", "vantel: ignoring \"/c\"\nvantel: ignoring \"stray\"\n"},
        {"--fps=1 --root", "vantel: ignoring unknown option \"--fps=1\"\n"},
        {"--root --speed 5x", "vantel: ignoring --speed \"5x\": not a whole number\n"},
        {"--root --speed", "vantel: ignoring --speed: it needs a whole number\n"},
        {"--root --texture=", "vantel: ignoring --texture: it needs a file name\n"},
    };
    for (const auto& c : cases) {
        const SaverOptions options = ReadSaverOptions(c.commandLine, "0x2A00007");
        EXPECT_EQ(options.warnings, c.warnings) << c.commandLine;
        EXPECT_EQ(options.mode, RunMode::Saver) << c.commandLine;
        EXPECT_EQ(options.host.kind, Kind::HostWindow) << c.commandLine;
    }
}

}  // namespace

// XScreenSaver's hacks take options with one dash, GNU programs with two.
TEST(SaverOptionsTest, EveryOptionTakesOneDashOrTwo) {
    const struct {
        const char* commandLine;
        std::optional<int> speed;
        const char* texture;  // null: none
        bool frameRate;
        const char* display;  // null: none
    } cases[] = {
        {"-fps -speed 10 -texture /t/a.bmp", 10, "/t/a.bmp", true, nullptr},
        {"--fps --speed=10 --texture=/t/a.bmp", 10, "/t/a.bmp", true, nullptr},
        {"-speed=4 -display :5", 4, nullptr, false, ":5"},
        {"/s --display=:6.0", {}, nullptr, false, ":6.0"},
        {"--display unix:7 -S", {}, nullptr, false, "unix:7"},
    };
    for (const auto& c : cases) {
        const SaverOptions options = ReadSaverOptions(c.commandLine, nullptr);
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(options.mode, RunMode::Saver);
        EXPECT_EQ(options.overrides.speed, c.speed);
        EXPECT_EQ(options.overrides.texture.value_or("(none)"), c.texture ? c.texture : "(none)");
        EXPECT_EQ(options.overrides.showFrameRate, c.frameRate);
        EXPECT_EQ(options.display.value_or("(none)"), c.display ? c.display : "(none)");
        EXPECT_EQ(options.warnings, "");
    }
    EXPECT_TRUE(ReadSaverOptions("-help", nullptr).help);
    EXPECT_EQ(ReadSaverOptions("-window-id=0x10", nullptr).host.window, 0x10u);
}

// A value missing before the next option leaves that option its meaning.
TEST(SaverOptionsTest, AValueNeverSwallowsTheNextOption) {
    const struct {
        const char* commandLine;
        std::optional<int> speed;
        bool frameRate;
        const char* warnings;
    } cases[] = {
        {"--speed --fps", {}, true, "vantel: ignoring --speed: it needs a whole number\n"},
        {"-texture -fps", {}, true, "vantel: ignoring -texture: it needs a file name\n"},
        {"--display -fps", {}, true, "vantel: ignoring --display: it needs a display name\n"},
        {"--speed -3 --fps", -3, true, ""},
    };
    for (const auto& c : cases) {
        const SaverOptions options = ReadSaverOptions(c.commandLine, nullptr);
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(options.overrides.speed, c.speed);
        EXPECT_EQ(options.overrides.showFrameRate, c.frameRate);
        EXPECT_EQ(options.warnings, c.warnings);
    }
}

// As XScreenSaver's file chooser writes the texture's path.
TEST(SaverOptionsTest, ALeadingTildeIsTheHomeDirectory) {
    const struct {
        const char* path;
        const char* home;
        const char* expanded;
    } cases[] = {
        {"~/Pictures/box.bmp", "/home/ann", "/home/ann/Pictures/box.bmp"},
        {"~", "/home/ann", "/home/ann"},
        {"~ann/box.bmp", "/home/ann", "~ann/box.bmp"},
        {"/tmp/~/box.bmp", "/home/ann", "/tmp/~/box.bmp"},
        {"~/box.bmp", nullptr, "~/box.bmp"},
        {"~/box.bmp", "", "~/box.bmp"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandHomeDirectory(c.path, c.home), c.expanded) << c.path;
}
