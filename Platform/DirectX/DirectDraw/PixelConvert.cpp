#include "Platform/DirectX/DirectDraw/PixelConvert.h"

#include <SDL.h>

#include <cstring>

namespace dx {
namespace {

enum class ScreenKind { XRGB8888, ARGB8888, RGB565, Other };

ScreenKind KindOf(const SDL_PixelFormat* format) {
    if (format == nullptr) return ScreenKind::XRGB8888;
    switch (format->format) {
        case SDL_PIXELFORMAT_RGB888:
            return ScreenKind::XRGB8888;
        case SDL_PIXELFORMAT_ARGB8888:
            return ScreenKind::ARGB8888;
        case SDL_PIXELFORMAT_RGB565:
            return ScreenKind::RGB565;
        default:
            return ScreenKind::Other;
    }
}

std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint16_t Load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// 5 or 6 bits widened so that full intensity stays full.
std::uint32_t Expand565(std::uint16_t p) {
    const std::uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

std::uint16_t Pack565(std::uint32_t xrgb) {
    return static_cast<std::uint16_t>((xrgb >> 8 & 0xF800) | (xrgb >> 5 & 0x07E0) | (xrgb >> 3 & 0x001F));
}

// One source pixel as 0x00RRGGBB.
template <Format F>
std::uint32_t Read(const std::uint8_t* row, int x, const std::uint32_t* palette) {
    if constexpr (F == Format::XRGB8888) return Load32(row + 4 * x) & 0x00FFFFFFu;
    if constexpr (F == Format::RGB565) return Expand565(Load16(row + 2 * x));
    if constexpr (F == Format::Indexed8) return palette[row[x]];
    return 0;
}

template <Format F, ScreenKind K>
void ConvertRows(const SourcePixels& source, const ScreenPixels& screen, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.bits + static_cast<std::ptrdiff_t>(y) * source.pitch;
        std::uint8_t* to = screen.bits + static_cast<std::ptrdiff_t>(y) * screen.pitch;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t xrgb = Read<F>(from, x, source.palette);
            if constexpr (K == ScreenKind::XRGB8888 || K == ScreenKind::ARGB8888) {
                const std::uint32_t out = K == ScreenKind::ARGB8888 ? xrgb | 0xFF000000u : xrgb;
                std::memcpy(to + 4 * x, &out, 4);
            } else if constexpr (K == ScreenKind::RGB565) {
                const std::uint16_t out = Pack565(xrgb);
                std::memcpy(to + 2 * x, &out, 2);
            } else {
                const Uint32 out = SDL_MapRGB(screen.format, static_cast<Uint8>(xrgb >> 16),
                                              static_cast<Uint8>(xrgb >> 8), static_cast<Uint8>(xrgb));
                const int bytes = screen.format->BytesPerPixel;
                std::memcpy(to + bytes * x, &out, static_cast<std::size_t>(bytes));
            }
        }
    }
}

template <Format F>
void ConvertFrom(const SourcePixels& source, const ScreenPixels& screen, int width, int height) {
    switch (KindOf(screen.format)) {
        case ScreenKind::XRGB8888:
            return ConvertRows<F, ScreenKind::XRGB8888>(source, screen, width, height);
        case ScreenKind::ARGB8888:
            return ConvertRows<F, ScreenKind::ARGB8888>(source, screen, width, height);
        case ScreenKind::RGB565:
            return ConvertRows<F, ScreenKind::RGB565>(source, screen, width, height);
        case ScreenKind::Other:
            return ConvertRows<F, ScreenKind::Other>(source, screen, width, height);
    }
}

bool SameLayout(Format format, ScreenKind kind) {
    return (format == Format::XRGB8888 && kind == ScreenKind::XRGB8888) ||
           (format == Format::RGB565 && kind == ScreenKind::RGB565);
}

}  // namespace

void ConvertBlock(const SourcePixels& source, const ScreenPixels& screen, int width, int height) {
    if (SameLayout(source.format, KindOf(screen.format))) {
        const auto bytes = static_cast<std::size_t>(width * BytesPerPixel(source.format));
        for (int y = 0; y < height; ++y)
            std::memcpy(screen.bits + static_cast<std::ptrdiff_t>(y) * screen.pitch,
                        source.bits + static_cast<std::ptrdiff_t>(y) * source.pitch, bytes);
        return;
    }
    switch (source.format) {
        case Format::XRGB8888:
            return ConvertFrom<Format::XRGB8888>(source, screen, width, height);
        case Format::RGB565:
            return ConvertFrom<Format::RGB565>(source, screen, width, height);
        case Format::Indexed8:
            return ConvertFrom<Format::Indexed8>(source, screen, width, height);
        case Format::Z16:
            return;
    }
}

}  // namespace dx
