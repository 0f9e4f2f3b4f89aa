#include "Platform/DirectX/DirectDraw/PixelConvert.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace dx {
namespace {

constexpr ScreenLayout kRgb565Layout{2, 0xF800, 0x07E0, 0x001F, 0};
constexpr std::size_t kColours15 = 32768;

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

std::uint32_t Colour15(std::uint32_t xrgb) {
    return (xrgb >> 9 & 0x7C00) | (xrgb >> 6 & 0x03E0) | (xrgb >> 3 & 0x001F);
}

std::uint32_t Colour15Of565(std::uint16_t p) {
    return (p >> 1 & 0x7C00) | (p >> 1 & 0x03E0) | (p & 0x001F);
}

// An 8-bit channel value in `bits` bits: its top bits, or for wider
// channels the value repeated, so that 255 stays full intensity.
std::uint32_t Scale(std::uint32_t value, int bits) {
    if (bits <= 8) return value >> (8 - bits);
    std::uint64_t repeated = 0;
    int have = 0;
    for (; have < bits; have += 8) repeated = repeated << 8 | value;
    return static_cast<std::uint32_t>(repeated >> (have - bits));
}

std::uint32_t Channel(std::uint32_t mask, std::uint32_t value) {
    if (mask == 0) return 0;
    return Scale(value, std::popcount(mask)) << std::countr_zero(mask);
}

template <int kBytes>
void Store(std::uint8_t* to, std::uint32_t value) {
    if constexpr (kBytes == 1) {
        *to = static_cast<std::uint8_t>(value);
    } else if constexpr (kBytes == 2) {
        const auto v = static_cast<std::uint16_t>(value);
        std::memcpy(to, &v, sizeof v);
    } else if constexpr (kBytes == 3) {
        to[0] = static_cast<std::uint8_t>(value);
        to[1] = static_cast<std::uint8_t>(value >> 8);
        to[2] = static_cast<std::uint8_t>(value >> 16);
    } else {
        std::memcpy(to, &value, sizeof value);
    }
}

// Stores pixelOf(row, x) for every pixel of the block.
template <int kBytes, class PixelOf>
void EachPixel(const SourcePixels& source, const ScreenPixels& screen, int width, int height,
               PixelOf pixelOf) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.bits + static_cast<std::ptrdiff_t>(y) * source.pitch;
        std::uint8_t* to = screen.bits + static_cast<std::ptrdiff_t>(y) * screen.pitch;
        for (int x = 0; x < width; ++x) Store<kBytes>(to + kBytes * x, pixelOf(from, x));
    }
}

}  // namespace

std::uint32_t ComposePixel(const ScreenLayout& screen, std::uint32_t xrgb) {
    return Channel(screen.redMask, xrgb >> 16 & 0xFF) | Channel(screen.greenMask, xrgb >> 8 & 0xFF) |
           Channel(screen.blueMask, xrgb & 0xFF) | screen.opaqueBits;
}

void PixelMap::Build(Format source, const ScreenLayout& screen, const std::uint32_t colours[256],
                     const std::uint32_t pixels[256]) {
    source_ = source;
    bytes_ = screen.bytesPerPixel;
    opaque_ = screen.opaqueBits;
    if (source == Format::Indexed8) {
        kind_ = Kind::Indexed;
        for (std::size_t i = 0; i < red_.size(); ++i)
            red_[i] = screen.Palettized() ? pixels[i] : ComposePixel(screen, colours[i]);
        return;
    }
    if (screen.Palettized()) {
        kind_ = Kind::Nearest;
        std::vector<std::uint8_t> colourToIndex(kColours15);
        bool usable[256];
        std::fill(std::begin(usable), std::end(usable), true);
        raster::BuildColorToIndex(colours, usable, colourToIndex.data());
        if (!nearest_) nearest_ = std::make_unique<std::uint32_t[]>(kColours15);
        for (std::size_t c = 0; c < kColours15; ++c) nearest_[c] = pixels[colourToIndex[c]];
        return;
    }
    ScreenLayout withoutOpaque = screen;
    withoutOpaque.opaqueBits = 0;
    if (withoutOpaque == (source == Format::RGB565 ? kRgb565Layout : kXrgbLayout)) {
        if (screen.opaqueBits == 0) {
            kind_ = Kind::Copy;
            return;
        }
        if (source == Format::XRGB8888) {
            kind_ = Kind::SetBits;
            return;
        }
    }
    kind_ = Kind::Channels;
    for (std::uint32_t v = 0; v < 256; ++v) {
        red_[v] = Channel(screen.redMask, v) | screen.opaqueBits;
        green_[v] = Channel(screen.greenMask, v);
        blue_[v] = Channel(screen.blueMask, v);
    }
}

void PixelMap::Convert(const SourcePixels& source, const ScreenPixels& screen, int width, int height) const {
    if (kind_ == Kind::Copy) {
        const auto bytes = static_cast<std::size_t>(width * BytesPerPixel(source.format));
        for (int y = 0; y < height; ++y)
            std::memcpy(screen.bits + static_cast<std::ptrdiff_t>(y) * screen.pitch,
                        source.bits + static_cast<std::ptrdiff_t>(y) * source.pitch, bytes);
        return;
    }
    switch (bytes_) {
        case 1:
            return ConvertRows<1>(source, screen, width, height);
        case 2:
            return ConvertRows<2>(source, screen, width, height);
        case 3:
            return ConvertRows<3>(source, screen, width, height);
        default:
            return ConvertRows<4>(source, screen, width, height);
    }
}

template <int kBytes>
void PixelMap::ConvertRows(const SourcePixels& source, const ScreenPixels& screen, int width,
                           int height) const {
    const bool wide = source_ == Format::XRGB8888;
    const auto channels = [this](std::uint32_t xrgb) {
        return red_[xrgb >> 16 & 0xFF] | green_[xrgb >> 8 & 0xFF] | blue_[xrgb & 0xFF];
    };
    switch (kind_) {
        case Kind::SetBits:
            return EachPixel<kBytes>(source, screen, width, height, [this](const std::uint8_t* row, int x) {
                return Load32(row + 4 * x) | opaque_;
            });
        case Kind::Indexed:
            return EachPixel<kBytes>(source, screen, width, height,
                                     [this](const std::uint8_t* row, int x) { return red_[row[x]]; });
        case Kind::Channels:
            if (wide)
                return EachPixel<kBytes>(source, screen, width, height, [&](const std::uint8_t* row, int x) {
                    return channels(Load32(row + 4 * x));
                });
            return EachPixel<kBytes>(source, screen, width, height, [&](const std::uint8_t* row, int x) {
                return channels(Expand565(Load16(row + 2 * x)));
            });
        case Kind::Nearest:
            if (wide)
                return EachPixel<kBytes>(source, screen, width, height,
                                         [this](const std::uint8_t* row, int x) {
                                             return nearest_[Colour15(Load32(row + 4 * x))];
                                         });
            return EachPixel<kBytes>(source, screen, width, height, [this](const std::uint8_t* row, int x) {
                return nearest_[Colour15Of565(Load16(row + 2 * x))];
            });
        case Kind::Copy:
            break;
    }
}

}  // namespace dx
