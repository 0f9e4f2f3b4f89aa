// Picks the SIMD rasterizer the CPU can run.
#include <initializer_list>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdWidths.h"

namespace raster {

const Rasterizer* SimdRasterizerOfWidth(int lanes) {
#if defined(VANTEL_RASTER_X86)
    if (lanes == 4) return &Sse2Rasterizer();
    if (lanes == 8 && __builtin_cpu_supports("avx2")) return &Avx2Rasterizer();
    if (lanes == 16 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl"))
        return &Avx512Rasterizer();
#else
    (void)lanes;
#endif
    return nullptr;
}

const Rasterizer* SimdRasterizer() {
    for (const int lanes : {16, 8}) {
        if (const Rasterizer* r = SimdRasterizerOfWidth(lanes)) return r;
    }
    return SimdRasterizerOfWidth(4);
}

}  // namespace raster
