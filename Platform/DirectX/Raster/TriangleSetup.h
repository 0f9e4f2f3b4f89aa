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
// against that square (in floating point) before setup. Inside it, snapped
// coordinates stay within +-2^22 sub-pixels, and so do pixel centres of a
// target (at most 8192 pixels, 2^21 sub-pixels, wide). An edge function at a
// pixel centre is the difference of two products of values below 2^23, so it
// stays below 2^47: 64-bit edge functions cannot overflow.
inline constexpr float kGuardBand = 16384.0f;
inline constexpr std::int64_t kMaxSnapped = std::int64_t{16384} << kSubPixelBits;
inline constexpr int kMaxTargetSize = 8192;  // pixels on either axis
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
