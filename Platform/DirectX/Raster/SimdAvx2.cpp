// The SIMD rasterizer eight pixels wide, fetching texels with the hardware
// gather or with plain loads. This file alone is compiled for AVX2 (without
// FMA, so that its arithmetic matches the scalar rasterizer).
#include "Platform/DirectX/Raster/Lanes8.h"
#include "Platform/DirectX/Raster/SimdPaths.h"
#include "Platform/DirectX/Raster/SimdRasterizer.h"

namespace raster {

const Rasterizer& Avx2Rasterizer() {
    static const TriangleRasterizer<SimdKernel<Lanes8>> rasterizer;
    return rasterizer;
}

const Rasterizer& Avx2LoadsRasterizer() {
    static const TriangleRasterizer<SimdKernel<Lanes8Loads>> rasterizer;
    return rasterizer;
}

}  // namespace raster
