// Asking a draw's texels into the cache before its triangles fetch them.
#pragma once

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/TriangleSetup.h"

namespace raster {

// Asks into the cache the texel rows and columns that the `count`
// triangles of `vertices` can sample: every texel coordinate inside a
// triangle lies between its corners' ones. A paced frame finds its texture
// gone from the cache after sleeping, and a group's gathered texels would
// otherwise come from memory one miss after another. Does nothing without a
// texture, for one too large to stay cached, or for coordinates not finite.
void PrefetchTexels(const Sampler& sampler, const Vertex* vertices, int count);

}  // namespace raster
