#include "Platform/DirectX/DirectDraw/PixelFormat.h"

#include <initializer_list>

namespace dx {

int BytesPerPixel(raster::PixelFormat format) {
    switch (format) {
        case raster::PixelFormat::XRGB8888:
            return 4;
        case raster::PixelFormat::RGB565:
            return 2;
        case raster::PixelFormat::Indexed8:
            return 1;
    }
    return 4;
}

int BytesPerPixel(Format format) {
    return format == Format::Z16 ? 2 : BytesPerPixel(RasterFormat(format));
}

raster::PixelFormat RasterFormat(Format format) {
    switch (format) {
        case Format::RGB565:
            return raster::PixelFormat::RGB565;
        case Format::Indexed8:
            return raster::PixelFormat::Indexed8;
        case Format::XRGB8888:
        case Format::Z16:
            break;
    }
    return raster::PixelFormat::XRGB8888;
}

DDPIXELFORMAT Describe(Format format) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(DDPIXELFORMAT);
    switch (format) {
        case Format::XRGB8888:
            pf.dwFlags = DDPF_RGB;
            pf.dwRGBBitCount = 32;
            pf.dwRBitMask = 0x00FF0000;
            pf.dwGBitMask = 0x0000FF00;
            pf.dwBBitMask = 0x000000FF;
            break;
        case Format::RGB565:
            pf.dwFlags = DDPF_RGB;
            pf.dwRGBBitCount = 16;
            pf.dwRBitMask = 0xF800;
            pf.dwGBitMask = 0x07E0;
            pf.dwBBitMask = 0x001F;
            break;
        case Format::Indexed8:
            pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
            pf.dwRGBBitCount = 8;
            break;
        case Format::Z16:
            pf.dwFlags = DDPF_ZBUFFER;
            pf.dwRGBBitCount = 16;
            break;
    }
    return pf;
}

bool ColorFormatOf(const DDPIXELFORMAT& pixelFormat, Format* format) {
    for (Format candidate : {Format::XRGB8888, Format::RGB565, Format::Indexed8}) {
        const DDPIXELFORMAT known = Describe(candidate);
        if (pixelFormat.dwFlags == known.dwFlags && pixelFormat.dwRGBBitCount == known.dwRGBBitCount &&
            pixelFormat.dwRBitMask == known.dwRBitMask && pixelFormat.dwGBitMask == known.dwGBitMask &&
            pixelFormat.dwBBitMask == known.dwBBitMask) {
            *format = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace dx
