// The memory layouts of the software surfaces and how DDPIXELFORMAT names them.
#pragma once

#include "Platform/DirectX/DDraw.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

namespace dx {

enum class Format {
    XRGB8888,  // 32-bit displays (and 24-bit ones, kept in 32 bits)
    RGB565,    // 16-bit displays
    Indexed8,  // 8-bit palettized displays
    Z16,       // 16-bit z-buffers
};

int BytesPerPixel(Format format);
int BytesPerPixel(raster::PixelFormat format);
raster::PixelFormat RasterFormat(Format format);  // colour formats only

// The published description of `format`.
DDPIXELFORMAT Describe(Format format);
// The colour format a description names; false for anything else.
bool ColorFormatOf(const DDPIXELFORMAT& pixelFormat, Format* format);

}  // namespace dx
