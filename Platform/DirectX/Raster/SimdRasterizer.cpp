#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

const Rasterizer* SimdRasterizerOfWidth(int) {
    return nullptr;
}

const Rasterizer* SimdRasterizer() {
    return nullptr;
}

}  // namespace raster
