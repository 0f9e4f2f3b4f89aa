// The SIMD rasterizer of each width, each compiled for its own instruction
// set. Call one only where the CPU has that set (SimdRasterizerOfWidth checks).
#pragma once

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

const Rasterizer& Sse2Rasterizer();
const Rasterizer& Avx2Rasterizer();
const Rasterizer& Avx512Rasterizer();

}  // namespace raster
