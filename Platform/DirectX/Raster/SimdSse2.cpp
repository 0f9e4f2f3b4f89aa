// The SIMD rasterizer four pixels wide, for any x86-64 CPU.
#include "Platform/DirectX/Raster/Lanes4.h"
#include "Platform/DirectX/Raster/SimdPaths.h"
#include "Platform/DirectX/Raster/SimdRasterizer.h"

namespace raster {

const Rasterizer& Sse2Rasterizer() {
    static const TriangleRasterizer<SimdKernel<Lanes4>> rasterizer;
    return rasterizer;
}

}  // namespace raster
