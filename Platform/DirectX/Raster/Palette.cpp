#include <cstdint>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

void BuildColorToIndex(const std::uint32_t palette[256], const bool usable[256],
                       std::uint8_t colorToIndex[32768]) {
    for (int colour = 0; colour < 32768; ++colour) {
        // The 5-bit channels widened to 8 bits, their top bits repeated below.
        const int r5 = colour >> 10 & 31, g5 = colour >> 5 & 31, b5 = colour & 31;
        const int r = r5 << 3 | r5 >> 2, g = g5 << 3 | g5 >> 2, b = b5 << 3 | b5 >> 2;
        int best = 0;
        int bestDistance = -1;
        for (int i = 0; i < 256; ++i) {
            if (!usable[i]) continue;
            const int dr = static_cast<int>(palette[i] >> 16 & 255) - r;
            const int dg = static_cast<int>(palette[i] >> 8 & 255) - g;
            const int db = static_cast<int>(palette[i] & 255) - b;
            const int distance = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        colorToIndex[colour] = static_cast<std::uint8_t>(best);
    }
}

}  // namespace raster
