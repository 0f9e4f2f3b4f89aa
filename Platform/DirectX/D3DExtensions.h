// What the programs need of the software Direct3D beyond the published API,
// on Linux: the largest surface, naming the rasterizer the MMX device draws
// with, and asking which one it is and why.
#pragma once

#include <string>

// The longest side, in pixels, of a surface DirectDraw makes; a longer one
// fails with DDERR_TOOBIGSIZE.
inline constexpr int DxLargestSurfaceSide = 16384;

// Names the rasterizer the MMX device draws with, for measurements and bug
// reports: "scalar", "sse2", "avx2-gather", "avx2-loads" or "avx512", in
// place of the one a short trial picks when the first MMX device is made.
// Null or "" leaves the choice to the trial. Returns "" when done, otherwise
// one line saying why the name cannot be honoured; the trial then chooses.
std::string DxForceRasterizer(const char* name);
// The rasterizer the MMX device draws with and why, in one line, e.g.
// "avx2-loads, forced". Runs the trial first if it is to choose and has not.
std::string DxDescribeRasterizer();
