// How each pixel format is stored, and conversions from 0x00RRGGBB to the
// stored forms of the other formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "Platform/DirectX/Raster/RasterInline.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

// The type one pixel of a format is stored in.
template <PixelFormat kFormat>
using PixelOf =
    std::conditional_t<kFormat == PixelFormat::XRGB8888, std::uint32_t,
                       std::conditional_t<kFormat == PixelFormat::RGB565, std::uint16_t, std::uint8_t>>;

// The first pixel of row `y` of memory whose rows lie `pitch` bytes apart.
template <typename Pixel, typename Memory>
RASTER_INLINE Pixel* RowAt(Memory* memory, int pitch, int y) {
    return reinterpret_cast<Pixel*>(reinterpret_cast<unsigned char*>(memory) +
                                    static_cast<std::ptrdiff_t>(y) * pitch);
}

// 5 bits red, 6 green, 5 blue: the top bits of each channel.
RASTER_INLINE std::uint32_t ToRgb565(std::uint32_t xrgb) {
    return ((xrgb >> 8) & 0xF800) | ((xrgb >> 5) & 0x07E0) | ((xrgb >> 3) & 0x001F);
}

// The colorToIndex slot of a colour: 5 bits each of red, green, blue.
RASTER_INLINE std::uint32_t ToColor15(std::uint32_t xrgb) {
    return ((xrgb >> 9) & 0x7C00) | ((xrgb >> 6) & 0x03E0) | ((xrgb >> 3) & 0x001F);
}

}  // namespace raster
