#include "tests/Platform/DirectX/RetainedMode/BmpWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

void Put16(std::vector<std::uint8_t>* out, std::uint32_t v) {
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>* out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t Channel(std::uint32_t texel, int shift) {
    return (texel >> shift) & 0xFF;
}

}  // namespace

std::vector<std::uint8_t> BmpFile::Bytes() const {
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put32(&out, 0);  // file size, patched below
    Put32(&out, 0);
    Put32(&out, 0);  // pixel offset, patched below
    Put32(&out, headerSize);
    if (headerSize == 12) {
        Put16(&out, static_cast<std::uint32_t>(width));
        Put16(&out, static_cast<std::uint32_t>(height));
        Put16(&out, planes);
        Put16(&out, bitCount);
    } else {
        Put32(&out, static_cast<std::uint32_t>(width));
        Put32(&out, static_cast<std::uint32_t>(height));
        Put16(&out, planes);
        Put16(&out, bitCount);
        Put32(&out, compression);
        Put32(&out, 0);     // image size
        Put32(&out, 2835);  // pixels per metre
        Put32(&out, 2835);
        Put32(&out, colorsUsed);
        Put32(&out, 0);  // important colours
        const std::size_t masksInHeader = headerSize >= 56 ? 4 : headerSize >= 52 ? 3 : 0;
        for (std::size_t i = 0; i < masksInHeader; ++i) Put32(&out, i < masks.size() ? masks[i] : 0);
        out.resize(14 + headerSize, 0);
        if (headerSize == 40)
            for (std::uint32_t mask : masks) Put32(&out, mask);
    }
    for (std::uint32_t color : palette) {
        out.push_back(Channel(color, 0));
        out.push_back(Channel(color, 8));
        out.push_back(Channel(color, 16));
        if (headerSize != 12) out.push_back(0);
    }
    const std::uint32_t offset =
        pixelOffset >= 0 ? static_cast<std::uint32_t>(pixelOffset) : static_cast<std::uint32_t>(out.size());
    out.resize(std::max<std::size_t>(out.size(), offset), 0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    const std::uint32_t size = static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) {
        out[2 + i] = (size >> (8 * i)) & 0xFF;
        out[10 + i] = (offset >> (8 * i)) & 0xFF;
    }
    return out;
}

void EncodePixels(BmpFile* file, const std::vector<std::uint32_t>& texels) {
    const int w = file->width;
    const int h = file->height < 0 ? -file->height : file->height;
    const int stride = (w * file->bitCount + 31) / 32 * 4;
    file->pixels.assign(static_cast<std::size_t>(stride) * h, 0);
    const bool bgrMasks = file->compression == 3 && !file->masks.empty() && file->masks[0] == 0xFF;
    const bool rgb565 = file->compression == 3 && !file->masks.empty() && file->masks[0] == 0xF800;
    for (int y = 0; y < h; ++y) {
        const int stored = file->height < 0 ? y : h - 1 - y;
        std::uint8_t* row = file->pixels.data() + static_cast<std::size_t>(stored) * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t t = texels[static_cast<std::size_t>(y) * w + x];
            const std::uint32_t r = Channel(t, 16), g = Channel(t, 8), b = Channel(t, 0);
            switch (file->bitCount) {
                case 1:
                case 4:
                case 8: {
                    const auto it = std::find(file->palette.begin(), file->palette.end(), t);
                    if (it == file->palette.end()) throw std::logic_error("texel not in palette");
                    const unsigned index = static_cast<unsigned>(it - file->palette.begin());
                    const int perByte = 8 / file->bitCount;
                    const int shift = 8 - file->bitCount * (x % perByte + 1);
                    row[x / perByte] |= static_cast<std::uint8_t>(index << shift);
                    break;
                }
                case 16: {
                    const std::uint32_t v = rgb565 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                                                   : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
                    row[2 * x] = v & 0xFF;
                    row[2 * x + 1] = v >> 8;
                    break;
                }
                case 24:
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                    break;
                case 32:
                    row[4 * x] = bgrMasks ? r : b;
                    row[4 * x + 1] = g;
                    row[4 * x + 2] = bgrMasks ? b : r;
                    row[4 * x + 3] = 0x7F;  // whatever the fourth byte holds, it is not colour
                    break;
                default:
                    throw std::logic_error("bit count");
            }
        }
    }
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}
