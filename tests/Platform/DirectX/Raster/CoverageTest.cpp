// Which pixels a triangle writes: shared edges, clipping, bad input.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "RasterTestSupport.h"

namespace raster::test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

enum class Split { DiagonalDown, DiagonalUp, Fan };

// A rectangle cut into triangles that share edges.
struct Tiling {
    const char* name;
    float x0, y0, x1, y1;
    Split split;
    bool reversed;     // clockwise instead of counter-clockwise
    float fanX, fanY;  // inner point of a fan
};

std::vector<std::vector<Vertex>> Triangles(const Tiling& t) {
    const Vertex tl = V(t.x0, t.y0), tr = V(t.x1, t.y0), br = V(t.x1, t.y1), bl = V(t.x0, t.y1);
    std::vector<std::vector<Vertex>> out;
    switch (t.split) {
        case Split::DiagonalDown:
            out = {{tl, tr, br}, {tl, br, bl}};
            break;
        case Split::DiagonalUp:
            out = {{tl, tr, bl}, {tr, br, bl}};
            break;
        case Split::Fan: {
            const Vertex c = V(t.fanX, t.fanY);
            out = {{c, tl, tr}, {c, tr, br}, {c, br, bl}, {c, bl, tl}};
            break;
        }
    }
    if (t.reversed) {
        for (auto& triangle : out) std::swap(triangle[1], triangle[2]);
    }
    return out;
}

class CoverageTest : public RasterTest {};

TEST_P(CoverageTest, TrianglesSharingEdgesWriteEveryPixelOfTheirRectangleOnce) {
    const Tiling tilings[] = {
        {"whole pixels", 2, 1, 10, 7, Split::DiagonalDown, false, 0, 0},
        {"whole pixels, other diagonal, clockwise", 2, 1, 10, 7, Split::DiagonalUp, true, 0, 0},
        {"sub-pixel corners", 1.3f, 0.7f, 9.6f, 7.2f, Split::DiagonalDown, true, 0, 0},
        {"sub-pixel corners, other diagonal", 1.3f, 0.7f, 9.6f, 7.2f, Split::DiagonalUp, false, 0, 0},
        {"sides through pixel centres", 0.5f, 0.5f, 7.5f, 5.5f, Split::DiagonalDown, false, 0, 0},
        {"thinner than a pixel", 0.25f, 2.0f, 15.75f, 2.9f, Split::DiagonalUp, false, 0, 0},
        {"steep and narrow", 3.1f, 0.2f, 4.05f, 11.9f, Split::DiagonalDown, false, 0, 0},
        {"fan around an inner point", 1.2f, 1.1f, 14.7f, 10.6f, Split::Fan, false, 6.37f, 4.11f},
        {"fan around a pixel centre, clockwise", 0, 0, 16, 12, Split::Fan, true, 7.5f, 5.5f},
        {"past the target's sides", -3.4f, -2.2f, 19.3f, 14.8f, Split::Fan, false, 15.5f, 0.5f},
    };
    for (const Tiling& tiling : tilings) {
        SCOPED_TRACE(tiling.name);
        std::vector<int> writes(16 * 12, 0);
        for (const auto& triangle : Triangles(tiling)) {
            Canvas canvas(16, 12);
            Draw(canvas, triangle);
            ASSERT_TRUE(canvas.PaddingIntact());
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 16; ++x) writes[y * 16 + x] += canvas.Pixel(x, y) != 0 ? 1 : 0;
            }
        }
        // Top and left sides take the centres lying on them, bottom and right do not.
        int mismatches = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                const float cx = x + 0.5f, cy = y + 0.5f;
                const int expected = cx >= tiling.x0 && cx < tiling.x1 && cy >= tiling.y0 && cy < tiling.y1;
                if (writes[y * 16 + x] != expected) {
                    ++mismatches;
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") written " << writes[y * 16 + x]
                                  << " times, expected " << expected;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// Targets of the largest size, with corners on the guard band: the edge
// functions reach their largest values there.
TEST_P(CoverageTest, TrianglesFromTheGuardBandCoverTheLargestTargetsOnce) {
    struct Case {
        int width, height;
        Tiling tiling;
    };
    const Case cases[] = {
        {16384, 3, {"widest", -32768, -32768, 32768, 32768, Split::Fan, false, 16380.3f, 1.7f}},
        {3, 16384, {"tallest", -32768, -32768, 32768, 32768, Split::Fan, true, 1.7f, 16380.3f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tiling.name);
        std::vector<int> writes(static_cast<std::size_t>(c.width) * c.height, 0);
        for (const auto& triangle : Triangles(c.tiling)) {
            Canvas canvas(c.width, c.height);
            Draw(canvas, triangle);
            ASSERT_TRUE(canvas.PaddingIntact());
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) writes[y * c.width + x] += canvas.Pixel(x, y) != 0 ? 1 : 0;
            }
        }
        EXPECT_EQ(std::count(writes.begin(), writes.end(), 1), c.width * c.height);
    }
}

TEST_P(CoverageTest, HugeTrianglesAreClippedAndFillTheTargetExactly) {
    struct Case {
        const char* name;
        Vertex a, b, c;
    };
    const Case cases[] = {
        {"just past the guard band", V(-20000, -20000), V(60000, -20000), V(-20000, 60000)},
        {"a million pixels out, clockwise", V(-1e6f, -1e6f), V(-1e6f, 1e7f), V(1e7f, -1e6f)},
        {"near the float limit", V(-3e38f, -3e38f), V(3e38f, -3e38f), V(0, 3e38f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(37, 23);
        Draw(canvas, {Lit(c.a, 0, 1, 0), Lit(c.b, 0, 1, 0), Lit(c.c, 0, 1, 0)});
        ASSERT_TRUE(canvas.PaddingIntact());
        int wrong = 0;
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                wrong += canvas.Pixel(x, y) != 0x00FF00 || canvas.Depth(x, y) != 32768 ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_P(CoverageTest, ClippedTrianglesKeepTheirColourGradient) {
    // A wide, flat triangle reaching far beyond the guard band on both
    // sides: red rises from 0 along its top edge to 1 at its lower apex, so
    // the clipped pieces must carry red = y / 64.
    const Vertex a = Lit(V(-30000, 0), 0, 0, 0);
    const Vertex b = Lit(V(30000, 0), 0, 0, 0);
    const Vertex c = Lit(V(0, 64), 1, 0, 0);
    Canvas canvas(64, 16);
    Draw(canvas, {a, b, c});
    ASSERT_TRUE(canvas.PaddingIntact());
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; x += 9) {
            EXPECT_NEAR(Red(canvas.Pixel(x, y)), (y + 0.5) / 64.0 * 255.0, 1.0) << x << ", " << y;
        }
    }
}

TEST_P(CoverageTest, BadOrDegenerateTrianglesDrawNothing) {
    struct Case {
        const char* name;
        Vertex a, b, c;
    };
    const Vertex a = V(1, 1), b = V(12, 2), c = V(4, 9);
    auto with = [](Vertex v, float Vertex::*field, float value) {
        v.*field = value;
        return v;
    };
    const Case cases[] = {
        {"x is NaN", with(a, &Vertex::x, kNaN), b, c},
        {"y is infinite", a, with(b, &Vertex::y, kInf), c},
        {"x is minus infinity", a, b, with(c, &Vertex::x, -kInf)},
        {"z is NaN", a, with(b, &Vertex::z, kNaN), c},
        {"rhw is infinite", with(a, &Vertex::rhw, kInf), b, c},
        {"u is NaN", a, b, with(c, &Vertex::u, kNaN)},
        {"red is NaN", with(a, &Vertex::r, kNaN), b, c},
        {"all three points equal", a, a, a},
        {"on one line", V(1, 1), V(5, 5), V(9, 9)},
        {"closer together than the sub-pixel grid", V(3, 3), V(3.0001f, 3), V(3, 3.0001f)},
        {"entirely left of the target", V(-9, 1), V(-1, 2), V(-5, 9)},
    };
    const std::uint32_t texels[] = {0xFFFFFF};
    const Texture texture{texels, 1, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(16, 12);
        Draw(canvas, {c.a, c.b, c.c}, &texture);
        ASSERT_TRUE(canvas.PaddingIntact());
        int written = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) written += canvas.Pixel(x, y) != 0 || canvas.Depth(x, y) != 0xFFFF;
        }
        EXPECT_EQ(written, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rasterizers, CoverageTest, testing::ValuesIn(AllRasterizers()), RasterizerName);

}  // namespace
}  // namespace raster::test
