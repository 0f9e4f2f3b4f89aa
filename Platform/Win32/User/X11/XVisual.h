// What an X visual says of how a window's pixels lie in memory, and which
// of them software can draw into.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {

// The facts of an X visual that decide how to draw into it.
struct VisualFacts {
    unsigned long id;
    int visualClass;   // StaticGray (0) to DirectColor (5), as X numbers them
    int depth;         // bits of a pixel that show
    int bitsPerPixel;  // bits a pixel takes in the server's images of that depth
    unsigned long redMask;
    unsigned long greenMask;
    unsigned long blueMask;
};

// The image layout of a window of `visual`: bytesPerPixel, the masks and the
// opaque bits (bits, pitch and size are left at 0). Visuals whose colours
// go through a colormap, and any of 8 bits or fewer, are palettized. None,
// with `why` saying what cannot be drawn, for pixels of other than 8, 16,
// 24 or 32 bits in memory.
std::optional<Win32WindowImage> ImageLayoutOf(const VisualFacts& visual, std::string* why);

// What GetDeviceCaps(BITSPIXEL) reports for a window of `visual`: 8 where
// the image is palettized, 16 for visuals up to 16 bits deep, else 32 (a
// 24- or 30-bit visual is drawn in 32-bit colour).
int ReportedBitsPerPixel(const VisualFacts& visual);

// "visual 0x21 (PseudoColor, depth 8)", naming it in a line for a person.
std::string DescribeVisual(const VisualFacts& visual);

// The facts of `visual` (of `depth` bits) on `display`.
VisualFacts FactsOf(Display* display, const Visual* visual, int depth);

// The facts of the default visual of the default screen of the display
// named by DISPLAY, asked once on a connection of our own; none when it
// cannot be reached.
std::optional<VisualFacts> ScreenVisual();

}  // namespace win32user
