// The SIMD rasterizer of each path, each compiled for its own instruction
// set. Call one only where the CPU has that set (SimdRasterizerFor checks).
#pragma once

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

const Rasterizer& Sse2Rasterizer();
const Rasterizer& Avx2Rasterizer();
const Rasterizer& Avx2LoadsRasterizer();
const Rasterizer& Avx512Rasterizer();

}  // namespace raster
