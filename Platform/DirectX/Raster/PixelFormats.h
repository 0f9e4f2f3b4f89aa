// Conversions from 0x00RRGGBB to the stored forms of the other formats.
#pragma once

#include <cstdint>

// Helpers used inside per-pixel loops are forced inline, so that those
// loops call no functions in any build.
#define RASTER_INLINE inline __attribute__((always_inline))

namespace raster {

// 5 bits red, 6 green, 5 blue: the top bits of each channel.
RASTER_INLINE std::uint32_t ToRgb565(std::uint32_t xrgb) {
    return ((xrgb >> 8) & 0xF800) | ((xrgb >> 5) & 0x07E0) | ((xrgb >> 3) & 0x001F);
}

// The colorToIndex slot of a colour: 5 bits each of red, green, blue.
RASTER_INLINE std::uint32_t ToColor15(std::uint32_t xrgb) {
    return ((xrgb >> 9) & 0x7C00) | ((xrgb >> 6) & 0x03E0) | ((xrgb >> 3) & 0x001F);
}

}  // namespace raster
