// What a covered pixel becomes: depth order, colour, texels, formats.
#include <algorithm>
#include <vector>

#include "RasterTestSupport.h"

namespace raster::test {
namespace {

// Two triangles covering a w x h target, texture coordinates 0..1 across,
// with the given rhw on the left and right sides.
std::vector<Vertex> Quad(float w, float h, float uOffset = 0, float vOffset = 0, float rhwLeft = 1,
                         float rhwRight = 1) {
    const Vertex tl = V(0, 0, 0.5f, uOffset, vOffset, rhwLeft);
    const Vertex tr = V(w, 0, 0.5f, uOffset + 1, vOffset, rhwRight);
    const Vertex br = V(w, h, 0.5f, uOffset + 1, vOffset + 1, rhwRight);
    const Vertex bl = V(0, h, 0.5f, uOffset, vOffset + 1, rhwLeft);
    return {tl, tr, br, tl, br, bl};
}

class ShadingTest : public RasterTest {};

TEST_P(ShadingTest, TheNearerOfTwoTrianglesWinsInEitherOrder) {
    struct Case {
        const char* name;
        float zFirst, zSecond;
    };
    const Case cases[] = {
        {"nearer drawn first", 0.25f, 0.75f},
        {"nearer drawn second", 0.75f, 0.25f},
        {"nearly equal depths, nearer first", 0.5f, 0.502f},
        {"nearly equal depths, nearer second", 0.502f, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Vertex> first = {Lit(V(0, 0, c.zFirst), 1, 0, 0), Lit(V(14, 1, c.zFirst), 1, 0, 0),
                                           Lit(V(3, 11, c.zFirst), 1, 0, 0)};
        const std::vector<Vertex> second = {Lit(V(16, 12, c.zSecond), 0, 0, 1),
                                            Lit(V(2, 9, c.zSecond), 0, 0, 1),
                                            Lit(V(12, 0, c.zSecond), 0, 0, 1)};
        Canvas alone1(16, 12), alone2(16, 12), both(16, 12);
        Draw(alone1, first);
        Draw(alone2, second);
        Draw(both, first);
        Draw(both, second);
        const std::uint32_t nearer = c.zFirst < c.zSecond ? 0xFF0000 : 0x0000FF;
        int overlap = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool in1 = alone1.Pixel(x, y) != 0, in2 = alone2.Pixel(x, y) != 0;
                const std::uint32_t expected = in1 && in2 ? nearer : in1 ? 0xFF0000 : in2 ? 0x0000FF : 0;
                EXPECT_EQ(both.Pixel(x, y), expected) << x << ", " << y;
                EXPECT_EQ(both.Depth(x, y), std::min(alone1.Depth(x, y), alone2.Depth(x, y)));
                overlap += in1 && in2;
            }
        }
        EXPECT_GT(overlap, 20);
    }
}

TEST_P(ShadingTest, DepthMapsZOntoSixteenBits) {
    // The canvas starts at the farthest depth, 0xFFFF, which only nearer
    // depths pass.
    const struct {
        float z;
        std::uint16_t depth;
        bool drawn;
    } cases[] = {{0.0f, 0, true},  {0.25f, 16384, true},  {0.5f, 32768, true},  {0.99f, 64880, true},
                 {-3.0f, 0, true}, {1.0f, 0xFFFF, false}, {2.0f, 0xFFFF, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.z);
        Canvas canvas(8, 8);
        Draw(canvas, {V(0, 0, c.z), V(8, 0, c.z), V(0, 8, c.z)});
        EXPECT_EQ(canvas.Depth(1, 1), c.depth);
        EXPECT_EQ(canvas.Pixel(1, 1) != 0, c.drawn);
    }
}

TEST_P(ShadingTest, FlatUsesTheFirstVertexAndGouraudBlends) {
    struct Case {
        const char* name;
        Shading shading;
        Vertex a, b, c;
        bool uniform;
        std::uint32_t colour;  // of every covered pixel when uniform
    };
    const Vertex a = V(0, 0), b = V(15, 2), c = V(4, 11);
    const Case cases[] = {
        {"Gouraud with equal colours", Shading::Gouraud, Lit(a, 0.2f, 0.4f, 0.6f), Lit(b, 0.2f, 0.4f, 0.6f),
         Lit(c, 0.2f, 0.4f, 0.6f), true, 0x336699},
        {"flat takes the first vertex", Shading::Flat, Lit(a, 1, 0, 0), Lit(b, 0, 1, 0), Lit(c, 0, 0, 1),
         true, 0xFF0000},
        {"flat, clockwise, still the first vertex", Shading::Flat, Lit(b, 0, 1, 0), Lit(a, 1, 0, 0),
         Lit(c, 0, 0, 1), true, 0x00FF00},
        {"Gouraud with different colours", Shading::Gouraud, Lit(a, 1, 0, 0), Lit(b, 0, 1, 0),
         Lit(c, 0, 0, 1), false, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Canvas canvas(16, 12);
        Draw(canvas, {k.a, k.b, k.c}, nullptr, k.shading);
        int covered = 0, different = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (canvas.Pixel(x, y) == 0) continue;
                ++covered;
                different += canvas.Pixel(x, y) != k.colour;
            }
        }
        EXPECT_GT(covered, 40);
        if (k.uniform) {
            EXPECT_EQ(different, 0);
        } else {
            // Each corner pixel leans towards its own vertex's colour.
            EXPECT_GT(Red(canvas.Pixel(1, 0)), 200);
            EXPECT_GT(Green(canvas.Pixel(13, 2)), 160);
            EXPECT_GT(Blue(canvas.Pixel(4, 9)), 160);
        }
    }
}

TEST_P(ShadingTest, TextureQuadrantsLandInTheirCorners) {
    struct Case {
        const char* name;
        int size;  // texels a side: 4 wraps by masking, 6 by division
        float uOffset, vOffset, rhwLeft, rhwRight;
    };
    const Case cases[] = {
        {"plain", 4, 0, 0, 1, 1},
        {"coordinates three wraps on", 4, 3, 3, 1, 1},
        {"negative coordinates", 4, -2, -5, 1, 1},
        {"in perspective", 4, 0, 0, 1, 0.2f},
        {"in perspective, near side right", 4, 1, -1, 0.3f, 0.9f},
        {"size not a power of two", 6, 0, 0, 1, 1},
        {"size not a power of two, wrapped, in perspective", 6, -7, 2, 0.25f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Red, green / blue, white quadrants.
        std::vector<std::uint32_t> texels(c.size * c.size);
        const int half = c.size / 2;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                texels[y * c.size + x] =
                    y < half ? (x < half ? 0xFF0000 : 0x00FF00) : (x < half ? 0x0000FF : 0xFFFFFF);
            }
        }
        const Texture texture{texels.data(), c.size, c.size};
        Canvas canvas(16, 16);
        Draw(canvas, Quad(16, 16, c.uOffset, c.vOffset, c.rhwLeft, c.rhwRight), &texture);
        EXPECT_EQ(canvas.Pixel(0, 0), 0xFF0000u);
        EXPECT_EQ(canvas.Pixel(15, 0), 0x00FF00u);
        EXPECT_EQ(canvas.Pixel(0, 15), 0x0000FFu);
        EXPECT_EQ(canvas.Pixel(15, 15), 0xFFFFFFu);
    }
}

TEST_P(ShadingTest, PerspectiveMovesTheTextureMiddleTowardsTheFarSide) {
    // rhw 1 on the left, 1/3 on the right: u = 0.5 lies three quarters of
    // the way across, where f / 3 = (1 - f) * 1.
    const std::uint32_t texels[] = {0xFF0000, 0x00FF00};
    const Texture texture{texels, 2, 1};
    Canvas canvas(32, 4);
    Draw(canvas, Quad(32, 4, 0, 0, 1, 1.0f / 3), &texture);
    for (int x = 0; x < 32; ++x) EXPECT_EQ(canvas.Pixel(x, 2), x < 24 ? 0xFF0000u : 0x00FF00u) << x;
}

TEST_P(ShadingTest, BilinearGivesTheMidpointBetweenTexelCentres) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> texels;
        int width, height;
        float uOffset, vOffset;  // 0.5: the middle pixel samples the last column or line and the first
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"two texels in a row", {0x000000, 0xC864FA}, 2, 1, 0, 0, 0x64327D},
        {"two texels in a column", {0x102030, 0x305070}, 1, 2, 0, 0, 0x203850},
        {"a 2 x 2 square", {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, 2, 2, 0, 0, 0x3F3F3F},
        {"the last column and the first, width 3", {0xC864FA, 0x123456, 0x000000}, 3, 1, 0.5f, 0, 0x64327D},
        {"the last line and the first, height 3", {0x305070, 0x123456, 0x102030}, 1, 3, 0, 0.5f, 0x203850},
        {"the four corners, 3 x 3",
         {0x0000FF, 0x123456, 0x000000, 0x123456, 0x123456, 0x123456, 0xFF0000, 0x123456, 0x00FF00},
         3,
         3,
         0.5f,
         0.5f,
         0x3F3F3F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Texture texture{c.texels.data(), c.width, c.height};
        // An odd size puts a pixel centre exactly on the middle, u = v = 0.5 before the offsets.
        Canvas canvas(9, 9);
        Draw(canvas, Quad(9, 9, c.uOffset, c.vOffset), &texture, Shading::Gouraud, Filter::Bilinear);
        const std::uint32_t got = canvas.Pixel(4, 4);
        EXPECT_NEAR(Red(got), Red(c.expected), 1);
        EXPECT_NEAR(Green(got), Green(c.expected), 1);
        EXPECT_NEAR(Blue(got), Blue(c.expected), 1);
        // Nearest picks one of the texels instead.
        Canvas nearest(9, 9);
        Draw(nearest, Quad(9, 9), &texture, Shading::Gouraud, Filter::Nearest);
        EXPECT_NE(std::find(c.texels.begin(), c.texels.end(), nearest.Pixel(4, 4)), c.texels.end());
    }
}

TEST_P(ShadingTest, TexelsAreModulatedByTheLitColour) {
    const std::uint32_t texels[] = {0x80FF40};
    const Texture texture{texels, 1, 1};
    struct Case {
        float r, g, b;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {1, 1, 1, 0x80FF40}, {0, 0, 0, 0x000000}, {0.5f, 0.5f, 0.5f, 0x408020}, {1, 0, 0.25f, 0x800010}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Canvas canvas(8, 8);
        Draw(canvas, {Lit(V(0, 0), c.r, c.g, c.b), Lit(V(8, 0), c.r, c.g, c.b), Lit(V(0, 8), c.r, c.g, c.b)},
             &texture);
        EXPECT_EQ(canvas.Pixel(1, 1), c.expected);
        EXPECT_EQ(canvas.Depth(1, 1), 32768);
    }
}

TEST_P(ShadingTest, EachFormatStoresItsOwnEncoding) {
    // Palette: black, white, pure red (not usable), dark red, grey.
    std::uint32_t palette[256] = {0x000000, 0xFFFFFF, 0xFF0000, 0x800000, 0x808080};
    bool usable[256] = {true, true, false, true, true};
    std::vector<std::uint8_t> colorToIndex(32768);
    BuildColorToIndex(palette, usable, colorToIndex.data());
    struct Case {
        const char* name;
        PixelFormat format;
        float r, g, b;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"32-bit orange", PixelFormat::XRGB8888, 1, 0.5f, 0, 0xFF8000},
        {"16-bit orange", PixelFormat::RGB565, 1, 0.5f, 0, 0xFC00},
        {"16-bit blue-green", PixelFormat::RGB565, 0, 0.75f, 1, 0x05FF},
        {"8-bit red to the usable dark red", PixelFormat::Indexed8, 1, 0, 0, 3},
        {"8-bit light grey to white", PixelFormat::Indexed8, 0.8f, 0.8f, 0.8f, 1},
        {"8-bit mid grey to grey", PixelFormat::Indexed8, 0.45f, 0.5f, 0.55f, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(8, 8, c.format, colorToIndex.data());
        Draw(canvas, {Lit(V(0, 0), c.r, c.g, c.b), Lit(V(8, 0), c.r, c.g, c.b), Lit(V(0, 8), c.r, c.g, c.b)});
        ASSERT_TRUE(canvas.PaddingIntact());
        EXPECT_EQ(canvas.Pixel(1, 1), c.expected);
        EXPECT_EQ(canvas.Pixel(7, 7), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Rasterizers, ShadingTest, testing::ValuesIn(AllRasterizers()), RasterizerName);

}  // namespace
}  // namespace raster::test
