// How the "MMX" software device's rasterizer is chosen: by the start-up
// trial, unless a caller names one (for measurements and bug reports).
#pragma once

#include <string>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdTrial.h"

namespace raster {

// What SimdRasterizer() draws with, and why.
struct SimdChoice {
    const Rasterizer* rasterizer;  // null where the CPU or the build has no SIMD path
    bool forced;                   // named through ForceRasterizer
    std::vector<TrialTime> trial;  // every runnable SIMD path's result, unless forced
};

// Runs the trial first unless a rasterizer is forced.
SimdChoice CurrentSimdChoice();

// The choice in one line, e.g. "avx2-loads, forced" or "avx2-loads, the
// fastest in the start-up trial (ms nearest + bilinear: sse2 0.120 + 0.200,
// ...)".
std::string DescribeSimdChoice(const SimdChoice& choice);

// Makes SimdRasterizer() return, from now on, the rasterizer of that Name():
// "scalar", "sse2", "avx2-gather", "avx2-loads" or "avx512"; null or "" hands
// the choice back to the trial. Returns "" when done; otherwise one line
// saying why not (a name of no rasterizer, or a path this CPU or build
// cannot run), and the trial chooses.
std::string ForceRasterizer(const char* name);

}  // namespace raster
