// The triangle rasterizers behind the two software devices.
//
// Both take triangles already transformed to the screen and draw them with
// the same rules and the same arithmetic, so their pictures agree bit for
// bit: the scalar one is the reference, the SIMD one must match it.
#pragma once

#include <cstdint>

namespace raster {

enum class PixelFormat {
    XRGB8888,  // 0x00RRGGBB per pixel
    RGB565,
    Indexed8,  // palette indices, written through Target::colorToIndex
};

// Where a draw lands. The depth buffer holds 16-bit values, 0 nearest and
// 0xFFFF farthest; a pixel is written when its depth is less than the stored one.
// Targets up to 16384 x 16384 pixels; a target that is larger, empty or missing
// its colour or depth memory (or, for Indexed8, its colorToIndex) is left untouched.
struct Target {
    void* color;
    int colorPitch;  // bytes from one row to the next
    std::uint16_t* depth;
    int depthPitch;  // bytes
    int width;
    int height;
    PixelFormat format;
    // For Indexed8: 32768 entries, index = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3).
    const std::uint8_t* colorToIndex;
};

// Texels 0x00RRGGBB, rows top first, `width` texels a row. Coordinates wrap.
// Up to 4096 x 4096 texels, of any size; a larger or empty texture draws as
// if none were given.
struct Texture {
    const std::uint32_t* texels;
    int width;
    int height;
};

enum class Shading { Flat, Gouraud };
enum class Filter { Nearest, Bilinear };

struct Vertex {
    float x, y;     // pixels; the centre of pixel (i, j) is (i + 0.5, j + 0.5)
    float z;        // depth in [0, 1], clamped to it; mapped to 0..0xFFFF
    float rhw;      // 1 / view-space depth, for perspective-correct u, v; if any
                    // vertex of a triangle has rhw <= 0, u, v are interpolated affinely
    float u, v;     // texture coordinates, 0..1 across the texture
    float r, g, b;  // lit colour, each 0..1
};

struct State {
    const Texture* texture;  // null: the lit colour alone
    Shading shading;         // Flat takes the colour of each triangle's first vertex
    Filter filter;
};

class Rasterizer {
public:
    virtual ~Rasterizer() = default;
    virtual const char* Name() const = 0;
    // Fills the target's colour with `xrgb` and its depth with `depth`.
    virtual void Clear(const Target& target, std::uint32_t xrgb, std::uint16_t depth) const = 0;
    // Draws `count` triangles, three vertices each, of either winding.
    // Coordinates may lie anywhere; what falls outside the target is clipped.
    // A triangle with a NaN or infinite value in any vertex field, or with
    // no area, draws nothing. Allocates nothing.
    virtual void DrawTriangles(const Target& target, const State& state, const Vertex* vertices,
                               int count) const = 0;
};

// The portable reference rasterizer.
const Rasterizer& ScalarRasterizer();

// Builds the Indexed8 lookup for a palette of 256 0x00RRGGBB colours,
// using only the entries for which `usable` is true: each 15-bit colour maps
// to the usable entry nearest to it (squared RGB distance, the lowest index
// on a tie), or to 0 when no entry is usable.
void BuildColorToIndex(const std::uint32_t palette[256], const bool usable[256],
                       std::uint8_t colorToIndex[32768]);

}  // namespace raster
