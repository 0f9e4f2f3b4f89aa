// Checks a BMP file held in memory before any decoder sees it: every size,
// offset and count in its headers must be consistent and lie inside the
// file, and compressed pixel runs must stay inside the image.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rm {

// Files beyond this many bytes are refused unread: the largest texture
// (4096 x 4096 at 32 bits) with every header, mask and palette fits, with
// room for a colour profile.
constexpr std::size_t kMaxBmpFileBytes = 4096u * 4096u * 4u + (1u << 20);

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

struct BmpLayout {
    int width;
    int height;  // rows, whichever way they are stored
    bool topDown;
    int bitCount;
    std::uint32_t compression;
    int paletteColors;  // entries the file's palette holds; 0 without one
};

// True when the file is a BMP this library reads, with its layout.
bool CheckBmp(const std::uint8_t* data, std::size_t size, BmpLayout* layout);

}  // namespace rm
