// Picks the SIMD rasterizer the CPU can run.
#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdWidths.h"

namespace raster {

const Rasterizer* SimdRasterizerOfWidth(int lanes) {
#if defined(VANTEL_RASTER_X86)
    if (lanes == 4) return &Sse2Rasterizer();
    if (lanes == 8 && __builtin_cpu_supports("avx2")) return &Avx2Rasterizer();
#else
    (void)lanes;
#endif
    return nullptr;
}

const Rasterizer* SimdRasterizer() {
    const Rasterizer* widest = SimdRasterizerOfWidth(8);
    return widest != nullptr ? widest : SimdRasterizerOfWidth(4);
}

}  // namespace raster
