// The SIMD rasterizer sixteen pixels wide. This file alone is compiled for
// AVX-512 (F, BW, DQ, VL).
#include "Platform/DirectX/Raster/Lanes16.h"
#include "Platform/DirectX/Raster/SimdPaths.h"
#include "Platform/DirectX/Raster/SimdRasterizer.h"

namespace raster {

const Rasterizer& Avx512Rasterizer() {
    static const TriangleRasterizer<SimdKernel<Lanes16>> rasterizer;
    return rasterizer;
}

}  // namespace raster
