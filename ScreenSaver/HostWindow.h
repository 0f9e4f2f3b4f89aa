// Running inside a screensaver host's window: X11 hosts start a display
// mode with the window to draw into in XSCREENSAVER_WINDOW and with "--root"
// on its command line, or hand the window over with "--window-id".
#pragma once

#include <cstdint>
#include <string>

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

// What the command line (the text after the program's name, arguments
// joined by blanks) and the value of XSCREENSAVER_WINDOW (null when unset)
// ask for. In order: "--window-id ID" or "-window-id ID" draws into ID;
// "--root" or "-root" draws into the variable's window; a saver switch (as
// ScanCommandLine finds it) draws into the variable's window when it is set.
// A configure switch, or none of these, leaves the own window. Window ids
// are "0x" and hex digits, or decimal digits, and not 0.
HostRequest FindHostWindow(const char* commandLine, const char* hostWindowVariable);
