// The SIMD rasterizer eight pixels wide. This file alone is compiled for
// AVX2 (without FMA, so that its arithmetic matches the scalar rasterizer).
#include "Platform/DirectX/Raster/Lanes8.h"
#include "Platform/DirectX/Raster/SimdRasterizer.h"
#include "Platform/DirectX/Raster/SimdWidths.h"

namespace raster {

const Rasterizer& Avx2Rasterizer() {
    static const TriangleRasterizer<SimdKernel<Lanes8>> rasterizer;
    return rasterizer;
}

}  // namespace raster
