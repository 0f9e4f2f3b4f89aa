// Which SIMD paths the CPU can run, and which of them the software device
// draws with.
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdPaths.h"
#include "Platform/DirectX/Raster/SimdTrial.h"

namespace raster {

const Rasterizer* SimdRasterizerFor(SimdPath path) {
#if defined(VANTEL_RASTER_X86)
    switch (path) {
        case SimdPath::Sse2:
            return &Sse2Rasterizer();
        case SimdPath::Avx2:
            return __builtin_cpu_supports("avx2") ? &Avx2Rasterizer() : nullptr;
        case SimdPath::Avx2Loads:
            return __builtin_cpu_supports("avx2") ? &Avx2LoadsRasterizer() : nullptr;
        case SimdPath::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                           __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl")
                       ? &Avx512Rasterizer()
                       : nullptr;
    }
#else
    (void)path;
#endif
    return nullptr;
}

// Measured rather than decided from the CPU's name and features: the paths
// differ mostly in how they fetch texels, and how fast a gather runs
// depends on the vendor, the generation and even the microcode (some CPUs
// slow it down against a side channel), none of which the CPU reports.
const Rasterizer* SimdRasterizer() {
    static const Rasterizer* const chosen = [] {
        std::vector<const Rasterizer*> runnable;
        for (const SimdPath path : kSimdPaths) {
            if (const Rasterizer* r = SimdRasterizerFor(path)) runnable.push_back(r);
        }
        return runnable.empty() ? nullptr : FastestInTrial(runnable);
    }();
    return chosen;
}

}  // namespace raster
