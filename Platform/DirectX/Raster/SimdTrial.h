// A short trial of rasterizers against one another on the CPU at hand.
#pragma once

#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

// One rasterizer's result: its fastest round with each filter, milliseconds.
struct TrialTime {
    const Rasterizer* rasterizer;
    double nearestMs, bilinearMs;
};

struct TrialResult {
    const Rasterizer* fastest;
    std::vector<TrialTime> times;  // in the order of the candidates
};

// Of `candidates` (at least one), the rasterizer that draws a small
// textured, lit face fastest: each draws it with nearest and with bilinear
// sampling once per round, the rasterizers taking turns, and each is judged
// by the sum over the two filters of its fastest round, which a busy
// machine can only slow down. Takes a few milliseconds; allocates.
TrialResult RunTrial(const std::vector<const Rasterizer*>& candidates);

}  // namespace raster
