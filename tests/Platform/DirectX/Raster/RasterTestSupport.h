// Shared pieces of the rasterizer tests: a padded canvas whose padding
// catches writes outside the target, vertex shorthand, and a fixture that
// runs each case through every rasterizer the machine has.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdPathChoice.h"

namespace raster::test {

// A colour and depth buffer with a few pixels of padding after each row
// and rows of padding above and below the target, all holding a sentinel.
class Canvas {
public:
    Canvas(int width, int height, PixelFormat format = PixelFormat::XRGB8888,
           const std::uint8_t* colorToIndex = nullptr);

    const Target& target() const { return target_; }
    // The stored colour value (XRGB, RGB565 or an index) and depth of a pixel.
    std::uint32_t Pixel(int x, int y) const;
    std::uint16_t Depth(int x, int y) const;
    // True while nothing outside the target was written.
    bool PaddingIntact() const;
    // Colour 0 and depth 0xFFFF everywhere, without a rasterizer.
    void Reset();

private:
    int bytesPerPixel() const;
    std::vector<unsigned char> color_;
    std::vector<std::uint16_t> depth_;
    Target target_;
};

// A vertex with white light, rhw 1 and no texture coordinates unless given.
Vertex V(float x, float y, float z = 0.5f, float u = 0.0f, float v = 0.0f, float rhw = 1.0f);
Vertex Lit(Vertex v, float r, float g, float b);

inline int Red(std::uint32_t xrgb) {
    return static_cast<int>(xrgb >> 16 & 255);
}
inline int Green(std::uint32_t xrgb) {
    return static_cast<int>(xrgb >> 8 & 255);
}
inline int Blue(std::uint32_t xrgb) {
    return static_cast<int>(xrgb & 255);
}

struct RasterizerCase {
    const char* name;
    const Rasterizer* (*get)();
};

inline void PrintTo(const RasterizerCase& c, std::ostream* out) {
    *out << c.name;
}

// Every SIMD path (one per SimdPath), and those with the scalar rasterizer.
std::vector<RasterizerCase> SimdRasterizers();
std::vector<RasterizerCase> AllRasterizers();
std::string RasterizerName(const testing::TestParamInfo<RasterizerCase>& info);

// Runs on every rasterizer; skipped where the CPU lacks a SIMD path.
class RasterTest : public testing::TestWithParam<RasterizerCase> {
protected:
    void SetUp() override;
    const Rasterizer& rasterizer() const { return *rasterizer_; }
    void Draw(const Canvas& canvas, const std::vector<Vertex>& vertices, const Texture* texture = nullptr,
              Shading shading = Shading::Gouraud, Filter filter = Filter::Nearest) const;

private:
    const Rasterizer* rasterizer_ = nullptr;
};

}  // namespace raster::test
