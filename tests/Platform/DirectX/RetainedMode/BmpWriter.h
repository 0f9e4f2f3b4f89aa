// Writes BMP files byte by byte, well-formed or not, for the texture tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpFile {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: rows top first
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, written as the file's palette
    std::vector<std::uint32_t> masks;    // red, green, blue[, alpha]
    std::vector<std::uint8_t> pixels;    // exactly as stored
    std::int64_t pixelOffset = -1;       // -1: right after the palette or masks

    std::vector<std::uint8_t> Bytes() const;
};

// Stores `texels` (0x00RRGGBB, rows top first) uncompressed at the file's
// bit count and row order; palette files take each texel's palette index.
void EncodePixels(BmpFile* file, const std::vector<std::uint32_t>& texels);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
