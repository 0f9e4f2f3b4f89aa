// The fill behind both rasterizers' Clear.
#pragma once

#include <cstdint>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

// Fills a usable target's colour with `xrgb` (converted to its format) and
// its depth with `depth`; leaves any other target untouched.
void ClearTarget(const Target& target, std::uint32_t xrgb, std::uint16_t depth);

}  // namespace raster
