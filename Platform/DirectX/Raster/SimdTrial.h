// A short trial of rasterizers against one another on the CPU at hand.
#pragma once

#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

// Of `candidates` (at least one), the rasterizer that draws a small
// textured, lit face fastest: each draws it with nearest and with bilinear
// sampling once per round, the rasterizers taking turns, and each is judged
// by the sum over the two filters of its fastest round, which a busy
// machine can only slow down. Takes a few milliseconds; allocates.
const Rasterizer* FastestInTrial(const std::vector<const Rasterizer*>& candidates);

}  // namespace raster
