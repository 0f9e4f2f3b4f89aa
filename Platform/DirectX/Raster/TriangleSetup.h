// Triangle setup shared by the scalar and SIMD rasterizers: everything done
// once per triangle, so that their inner loops only step and test.
#pragma once

#include <cstdint>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace raster {

// Vertex positions are snapped to 1/256 pixel (8 fractional bits).
inline constexpr int kSubPixelBits = 8;
inline constexpr std::int64_t kSubPixels = std::int64_t{1} << kSubPixelBits;

// Triangles reaching beyond +-kGuardBand pixels on either axis are clipped
// against that square (in floating point) before setup; targets are at most
// kMaxTargetSize pixels on either axis, inside the guard band.
//
// Why 64-bit edge functions cannot overflow, with S = 2^kSubPixelBits:
// - snapped vertex coordinates lie within +-kGuardBand * S = +-2^23, so an
//   edge's dx and dy (b - a) lie within +-2^24;
// - pixel centres p of a target lie in [0, kMaxTargetSize * S) = [0, 2^22),
//   so p - a lies within +-(2^22 + 2^23), below 2^24 in magnitude;
// - an edge function dx * (py - ay) - dy * (px - ax) - bias is then below
//   2 * 2^24 * 2^24 + 1 = 2^49 + 1 in magnitude, and so is twice the area;
// - stepping rows adds stepY = dx * S (below 2^32), which only moves the
//   value to another pixel centre of the target, within the same bound, and
//   the row span's (step - 1 - value) stays below 2^50.
// Everything stays below 2^50, far inside int64's 2^63.
inline constexpr float kGuardBand = 32768.0f;
inline constexpr std::int64_t kMaxSnapped = std::int64_t{32768} << kSubPixelBits;
inline constexpr int kMaxTargetSize = 16384;  // pixels on either axis

namespace bounds {
inline constexpr std::int64_t kEdgeDelta = 2 * kMaxSnapped;  // |b - a|
inline constexpr std::int64_t kCentreOffset =
    (std::int64_t{kMaxTargetSize} << kSubPixelBits) + kMaxSnapped;  // |p - a|
static_assert(kGuardBand >= kMaxTargetSize, "the guard band holds every target");
static_assert(kMaxSnapped == static_cast<std::int64_t>(kGuardBand) << kSubPixelBits);
static_assert(kEdgeDelta <= (INT64_MAX / 4) / kCentreOffset, "edge functions fit int64 with room to spare");
}  // namespace bounds

// Texels on either axis; keeps every texel index exact in a float.
inline constexpr int kMaxTextureSize = 4096;

// Texel coordinates are clamped to [0, kMaxTexelCoordinate] before they
// become 24.8 fixed point, so the conversion to int32 cannot overflow.
inline constexpr float kMaxTexelCoordinate = 4194304.0f;  // 2^22

// Clipping a triangle against the four sides of the guard band adds at most
// four corners; the polygon is drawn as a fan of triangles.
inline constexpr int kMaxClipVertices = 7;
inline constexpr int kMaxFanTriangles = kMaxClipVertices - 2;

enum class TexMode { None, Nearest, Bilinear };

// One edge function, positive inside the triangle. The top-left fill rule
// is folded into `value` as a bias of -1 on edges that are neither top nor
// left, so that "covered" is simply value >= 0 on all three edges.
struct Edge {
    std::int64_t value;  // at the centre of the box's top-left pixel, bias included
    std::int64_t stepX;  // change from one pixel to the next on the right
    std::int64_t stepY;  // change from one pixel to the next below
};

// An attribute that varies linearly in screen space.
struct Plane {
    float origin;  // value at the centre of the box's top-left pixel
    float dx;      // change per pixel to the right
    float dy;      // change per pixel down
};

struct TriangleSetup {
    int minX, minY, maxX, maxY;  // inclusive pixel box, inside the target
    Edge edges[3];
    Plane depth;             // 0..65535 with 0.5 added, so truncation rounds
    Plane rhw;               // 1/w, scaled so that the largest vertex value is 1
    Plane u, v;              // texel coordinates (at least 1 at every vertex) times rhw
    Plane red, green, blue;  // 0..255 with 0.5 added
    // The colour planes do not change (flat shading, or equal colours at
    // the corners), so the lit colour can be worked out once per triangle.
    bool steadyLight;
};

// Every plane's value at the first pixel (the box's left side) of a row.
struct RowStart {
    float depth, rhw, u, v, red, green, blue;
};

// The planes at the first pixel of row `y`: each one origin + dy * rows
// below the box's top, the base from which both rasterizers step along the
// row with one multiply-add per pixel.
RowStart RowStartAt(const TriangleSetup& t, int y);

// One axis of a texture, for wrapping texel numbers into it.
struct TextureAxis {
    int size;       // texels; 1 when there is no texture
    float sizeF;    // the same as a float
    float inverse;  // 1 / size
    int mask;       // size - 1, used only when every size is a power of two
    int shift;      // log2(size), likewise
};

// How texels are fetched, fixed for a whole draw.
struct Sampler {
    TexMode mode;
    const std::uint32_t* texels;
    TextureAxis u, v;
    bool powerOfTwo;  // both sizes are: wrapping is a mask, indexing a shift
};

// Subtracted from 24.8 fixed-point texel coordinates: half a texel for
// bilinear, so that a sample halfway between two texel centres blends them
// equally.
template <TexMode kMode>
inline constexpr float kTexelBias = kMode == TexMode::Bilinear ? 128.0f : 0.0f;

Sampler MakeSampler(const State& state);

// Whether a target can be drawn into (see Target in Rasterizer.h).
bool UsableTarget(const Target& target);

// Validates, clips and sets up the triangle made of vertices[0..2]. Returns
// how many triangles it wrote to `out`, 0 when nothing is to be drawn.
int SetUpTriangle(const Vertex* vertices, const Sampler& sampler, Shading shading, const Target& target,
                  TriangleSetup out[kMaxFanTriangles]);

}  // namespace raster
