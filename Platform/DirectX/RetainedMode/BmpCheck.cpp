#include "Platform/DirectX/RetainedMode/BmpCheck.h"

#include "Platform/DirectX/RetainedMode/Texture.h"

namespace rm {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kCoreHeaderBytes = 12;
constexpr std::size_t kInfoHeaderBytes = 40;

std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool KnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderBytes || size == kInfoHeaderBytes || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

bool SideFits(std::int64_t side) {
    return side >= 1 && side <= kMaxTextureSide;
}

bool BitCountFits(int bitCount, bool core) {
    switch (bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            return true;
        case 16:
        case 32:
            return !core;
        default:
            return false;
    }
}

bool CompressionFits(const BmpLayout& layout) {
    switch (layout.compression) {
        case kBiRgb:
            return true;
        // Compressed images are stored bottom-up only.
        case kBiRle8:
            return layout.bitCount == 8 && !layout.topDown;
        case kBiRle4:
            return layout.bitCount == 4 && !layout.topDown;
        case kBiBitfields:
            return layout.bitCount == 16 || layout.bitCount == 32;
        default:
            return false;
    }
}

// Red, green and blue masks: present, apart and within the pixel.
bool MasksFit(const std::uint8_t* masks, int bitCount) {
    const std::uint32_t red = Le32(masks);
    const std::uint32_t green = Le32(masks + 4);
    const std::uint32_t blue = Le32(masks + 8);
    const std::uint32_t pixel = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    if (red == 0 || green == 0 || blue == 0) return false;
    if ((red & green) != 0 || (red & blue) != 0 || (green & blue) != 0) return false;
    return ((red | green | blue) & ~pixel) == 0;
}

// Walks a run-length stream from `pos` and fails on any run, move or
// literal that leaves the image or the file, and on a stream that ends
// without its end-of-bitmap mark.
bool RleFits(const std::uint8_t* data, std::size_t size, std::size_t pos, const BmpLayout& layout) {
    const bool rle8 = layout.compression == kBiRle8;
    std::int64_t x = 0;
    std::int64_t y = 0;
    for (;;) {
        if (size - pos < 2) return false;
        const std::uint8_t count = data[pos];
        const std::uint8_t code = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (y >= layout.height || x + count > layout.width) return false;
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                ++y;
                if (y > layout.height) return false;
                break;
            case 1:  // end of bitmap
                return true;
            case 2:  // move right and up
                if (size - pos < 2) return false;
                x += data[pos];
                y += data[pos + 1];
                pos += 2;
                if (x > layout.width || y > layout.height) return false;
                break;
            default: {  // `code` literal pixels, padded to a 16-bit boundary
                if (y >= layout.height || x + code > layout.width) return false;
                std::size_t bytes = rle8 ? code : (code + 1u) / 2u;
                bytes += bytes & 1u;
                if (size - pos < bytes) return false;
                pos += bytes;
                x += code;
                break;
            }
        }
    }
}

}  // namespace

bool CheckBmp(const std::uint8_t* data, std::size_t size, BmpLayout* layout) {
    if (size < kFileHeaderBytes + kCoreHeaderBytes || size > kMaxBmpFileBytes) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t pixelOffset = Le32(data + 10);
    const std::uint32_t headerSize = Le32(data + 14);
    if (!KnownHeaderSize(headerSize) || size < kFileHeaderBytes + headerSize) return false;

    const std::uint8_t* header = data + kFileHeaderBytes;
    const bool core = headerSize == kCoreHeaderBytes;
    std::int64_t width;
    std::int64_t height;
    std::uint32_t planes;
    std::uint32_t colorsUsed = 0;
    if (core) {
        width = Le16(header + 4);
        height = Le16(header + 6);
        planes = Le16(header + 8);
        layout->bitCount = static_cast<int>(Le16(header + 10));
        layout->compression = kBiRgb;
    } else {
        width = static_cast<std::int32_t>(Le32(header + 4));
        height = static_cast<std::int32_t>(Le32(header + 8));
        planes = Le16(header + 12);
        layout->bitCount = static_cast<int>(Le16(header + 14));
        layout->compression = Le32(header + 16);
        colorsUsed = Le32(header + 32);
    }
    layout->topDown = height < 0;
    if (height < 0) height = -height;
    if (planes != 1 || !SideFits(width) || !SideFits(height)) return false;
    layout->width = static_cast<int>(width);
    layout->height = static_cast<int>(height);
    if (!BitCountFits(layout->bitCount, core) || !CompressionFits(*layout)) return false;

    // What lies between the headers and the pixels: masks or a palette.
    std::size_t tablesEnd = kFileHeaderBytes + headerSize;
    layout->paletteColors = 0;
    if (layout->compression == kBiBitfields) {
        // A 40-byte header is followed by the masks; longer ones hold them.
        if (headerSize == kInfoHeaderBytes) tablesEnd += 12;
        if (size < tablesEnd || !MasksFit(data + kFileHeaderBytes + kInfoHeaderBytes, layout->bitCount))
            return false;
    } else if (layout->bitCount <= 8) {
        const std::uint32_t most = 1u << layout->bitCount;
        if (colorsUsed > most) return false;
        layout->paletteColors = static_cast<int>(colorsUsed == 0 ? most : colorsUsed);
        tablesEnd += static_cast<std::size_t>(layout->paletteColors) * (core ? 3 : 4);
    }
    if (pixelOffset < tablesEnd || pixelOffset >= size) return false;

    if (layout->compression == kBiRle8 || layout->compression == kBiRle4)
        return RleFits(data, size, pixelOffset, *layout);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * layout->bitCount + 31) / 32 * 4;
    return stride * static_cast<std::uint64_t>(height) <= size - pixelOffset;
}

}  // namespace rm
