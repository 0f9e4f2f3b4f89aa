// What the software DirectDraw knows of the display: its size and format.
#pragma once

#include "Platform/DirectX/DirectDraw/PixelFormat.h"

namespace dx {

// The format of the display's pixels, from GetDeviceCaps(BITSPIXEL) of the
// screen (so a pretended depth counts): 8 bits palettized, 15 or 16 bits
// RGB565, anything else XRGB8888.
Format DisplayFormat();

// The desktop size in pixels, or the size set by DxPretendDesktopSize.
// False when there is no display to ask.
bool DesktopSize(int* width, int* height);

}  // namespace dx
