// Copies a block of surface pixels onto the screen: the screen image or a
// window's SDL surface, converting the format on the way.
#pragma once

#include <cstdint>

#include "Platform/DirectX/DirectDraw/PixelFormat.h"

struct SDL_PixelFormat;

namespace dx {

struct SourcePixels {
    const std::uint8_t* bits;  // the block's first pixel
    int pitch;
    Format format;                 // a colour format
    const std::uint32_t* palette;  // Indexed8: 256 colours 0x00RRGGBB
};

struct ScreenPixels {
    std::uint8_t* bits;  // the block's first pixel
    int pitch;
    const SDL_PixelFormat* format;  // null: XRGB8888
};

// Copies `width` × `height` pixels. Same formats copy whole rows; nothing
// is allocated.
void ConvertBlock(const SourcePixels& source, const ScreenPixels& screen, int width, int height);

}  // namespace dx
