// What tests ask of the Win32 stand-in beyond the published API: messages
// that reached the default procedure, and pretended displays.
#pragma once

#include "Platform/Win32/Win32.h"

// How many messages have reached DefWindowProcA, and the last of
// them, so that a test can tell a message passed on from one swallowed.
struct Win32DefaultProcLog {
    unsigned long count;
    MSG last;
};
Win32DefaultProcLog Win32DefaultProcSeen();

// Pretends the displays lie at `count` rectangles in screen
// coordinates, the first one the primary display; a count of 0 returns to
// the real ones. The virtual screen's metrics and windows over all of them
// follow; SM_CXSCREEN and SM_CYSCREEN stay the real first display's.
void Win32PretendDisplays(const RECT* displays, int count);

// Pretends the display has this many bits per pixel (8, 16, 24,
// 32); 0 returns to the real depth. GetDeviceCaps(BITSPIXEL) reports it.
void Win32PretendDisplayDepth(int bitsPerPixel);

// Pretends the display's monitors report this DPMS power level (0 on,
// 1 standby, 2 suspend, 3 off) to Win32WindowSeen on X11; -1 returns to
// what the display itself reports.
void Win32PretendDisplayPower(int dpmsLevel);
