// What a command line asks of the saver. X11 screensaver hosts start a
// display mode with options: "-root" (the window to draw into is in
// XSCREENSAVER_WINDOW) or "-window-id ID", and whatever their settings
// dialogs add. A command line holding one of the options below is read as
// options alone; any other goes to the run modes' switch scan
// (ScanCommandLine) as ever.
//
//   --root                 draw into XSCREENSAVER_WINDOW's window
//   --window-id ID         draw into ID; wins over --root
//   --speed N              degrees per frame instead of SPEED
//   --texture FILE         the texture bitmap instead of FILENAME
//   --fps                  the frame rate in a corner
//   --display NAME         the X display instead of DISPLAY's
//   --help, -h / --version print the usage / the version
//
// Each is taken with one dash or two, as XScreenSaver's hacks and GNU
// programs write them; "--name=value" is the same as "--name value", and a
// value is never another option ("--speed --fps" is a speed without its
// number, then --fps). Among options the saver switch (/s) is no stray word.
// Without --root or --window-id the saver runs as the saver switch runs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/HostOverrides.h"

struct HostRequest {
    enum class Kind {
        OwnWindow,   // not asked for a host's window: the command line decides as ever
        HostWindow,  // draw into `window`
        Invalid,     // asked for a host's window but none can be had; `problem` says why
    };
    Kind kind = Kind::OwnWindow;
    std::uint64_t window = 0;
    std::string problem;  // one line for standard error, ending in a newline
};

struct SaverOptions {
    // What the switch scan finds; Saver for every command line of options.
    RunMode mode = RunMode::None;
    HostRequest host;
    bool help = false;
    bool version = false;
    // For this run, in place of the settings file.
    HostOverrides overrides;
    // The X display to draw on, in place of DISPLAY's.
    std::optional<std::string> display;
    // One line for standard error for each word passed over: an unknown
    // option with the words after it that do not start with '-', a stray
    // word, an option without its value or with a value it cannot use.
    std::string warnings;
};

// Reads the command line (as WinMain is handed it: see CommandLineWords.h)
// and the value of XSCREENSAVER_WINDOW (null when unset). Without options:
// a saver switch draws into the variable's window when it is set, anything
// else leaves the own window. With options: --window-id's window, else
// --root's (the variable's), else the variable's when it is set, else the
// own window. Window ids are "0x" and hex digits, or decimal digits, and
// not 0. Of an option given twice the last counts.
SaverOptions ReadSaverOptions(const char* commandLine, const char* hostWindowVariable);

// A leading "~/", or a bare "~", as the home directory `home` (the file
// choosers of screensaver hosts write paths so); anything else as it is.
std::string ExpandHomeDirectory(const std::string& path, const char* home);

// What --help prints: the modes, the options and the files.
extern const char kSaverUsage[];
// The one line for standard error when the command line asks for no mode.
extern const char kSaverUsageLine[];
