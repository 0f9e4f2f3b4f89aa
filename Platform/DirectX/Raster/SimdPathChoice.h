// The SIMD paths, and how the "MMX" software device's rasterizer is chosen
// among them: by the start-up trial, unless a caller names one (for
// measurements and bug reports).
#pragma once

#include <string>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdTrial.h"

namespace raster {

// The SIMD paths, narrowest first: four pixels at a time with SSE2; eight
// with AVX2, fetching texels with the hardware gather or with plain loads
// (the gather is slow on some CPUs); sixteen with AVX-512 (F, BW, DQ, VL).
enum class SimdPath { Sse2, Avx2, Avx2Loads, Avx512 };
inline constexpr SimdPath kSimdPaths[] = {SimdPath::Sse2, SimdPath::Avx2, SimdPath::Avx2Loads,
                                          SimdPath::Avx512};

// The rasterizer of one SIMD path, or null where the CPU or the build lacks
// it. Lets tests and benchmarks reach every path SimdRasterizer() may pick.
const Rasterizer* SimdRasterizerFor(SimdPath path);

// The rasterizers of the paths this CPU and build run, narrowest first.
std::vector<const Rasterizer*> RunnableSimdRasterizers();

// The SIMD rasterizer the "MMX" software device draws with: of the paths
// this CPU runs, the one that drew a small textured scene fastest when first
// asked (which takes a few milliseconds, once per process), or null where
// the CPU or the build has no SIMD path; or the rasterizer a caller named
// (ForceRasterizer below).
const Rasterizer* SimdRasterizer();

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
