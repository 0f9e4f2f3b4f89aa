#include "Platform/DirectX/Raster/Clear.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "Platform/DirectX/Raster/PixelFormats.h"
#include "Platform/DirectX/Raster/TriangleSetup.h"

namespace raster {
namespace {

constexpr int kLineBytes = 64;
// A part of a large target has rows a page or more apart, too short for
// the CPU's own prefetching to start on: each row's lines are asked for
// this many rows ahead of its fill, so that their misses overlap.
constexpr int kRowsAhead = 8;

void AskForWrite(unsigned char* row, std::size_t rowBytes) {
    for (std::size_t offset = 0; offset < rowBytes; offset += kLineBytes) __builtin_prefetch(row + offset, 1);
}

// Fills `rows` rows of `rowBytes` bytes, `pitch` bytes apart, with a pixel
// value of `Pixel` type. memset does it when all bytes of the value are
// equal (the usual black and farthest depth); otherwise the first row is
// filled and copied down, so both paths run at memory speed.
template <typename Pixel>
void FillRows(void* memory, int pitch, int rows, int rowPixels, Pixel value) {
    auto* bytes = static_cast<unsigned char*>(memory);
    const std::size_t rowBytes = static_cast<std::size_t>(rowPixels) * sizeof(Pixel);
    const bool contiguous = static_cast<std::size_t>(pitch) == rowBytes;
    unsigned char first[sizeof(Pixel)];
    std::memcpy(first, &value, sizeof(Pixel));
    const bool uniform =
        std::all_of(first, first + sizeof(Pixel), [&](unsigned char b) { return b == first[0]; });
    if (uniform && contiguous) {
        std::memset(bytes, first[0], rowBytes * static_cast<std::size_t>(rows));
        return;
    }
    const auto row = [bytes, pitch](int y) { return bytes + static_cast<std::ptrdiff_t>(y) * pitch; };
    for (int y = 0; y < std::min(rows, kRowsAhead); ++y) AskForWrite(row(y), rowBytes);
    for (int y = 0; y < rows; ++y) {
        if (y + kRowsAhead < rows) AskForWrite(row(y + kRowsAhead), rowBytes);
        if (uniform)
            std::memset(row(y), first[0], rowBytes);
        else if (y == 0)
            std::fill_n(reinterpret_cast<Pixel*>(bytes), rowPixels, value);
        else
            std::memcpy(row(y), bytes, rowBytes);
    }
}

}  // namespace

void ClearTarget(const Target& target, std::uint32_t xrgb, std::uint16_t depth) {
    if (!UsableTarget(target)) return;
    switch (target.format) {
        case PixelFormat::XRGB8888:
            FillRows<std::uint32_t>(target.color, target.colorPitch, target.height, target.width,
                                    xrgb & 0xFFFFFF);
            break;
        case PixelFormat::RGB565:
            FillRows<std::uint16_t>(target.color, target.colorPitch, target.height, target.width,
                                    static_cast<std::uint16_t>(ToRgb565(xrgb)));
            break;
        case PixelFormat::Indexed8:
            FillRows<std::uint8_t>(target.color, target.colorPitch, target.height, target.width,
                                   target.colorToIndex[ToColor15(xrgb)]);
            break;
    }
    FillRows<std::uint16_t>(target.depth, target.depthPitch, target.height, target.width, depth);
}

}  // namespace raster
