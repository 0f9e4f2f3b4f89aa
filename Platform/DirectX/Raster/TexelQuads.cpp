#include <cstddef>
#include <cstdint>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

void BuildTexelQuads(const std::uint32_t* texels, int width, int height, TexelQuad* quads) {
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* line = texels + static_cast<std::size_t>(y) * width;
        const std::uint32_t* below = texels + static_cast<std::size_t>(y + 1 < height ? y + 1 : 0) * width;
        TexelQuad* out = quads + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const int right = x + 1 < width ? x + 1 : 0;
            out[x] = TexelQuad{{line[x], line[right], below[x], below[right]}};
        }
    }
}

}  // namespace raster
