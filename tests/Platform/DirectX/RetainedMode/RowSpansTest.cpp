// The rows a triangle may draw: every pixel whose centre lies inside it is
// within its row's span, even for triangles reaching past the viewport, and
// a diamond's rows are narrower than its bounding box.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Platform/DirectX/RetainedMode/RowSpans.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

raster::Vertex At(float x, float y) {
    return raster::Vertex{x, y, 0.5f, 1.0f, 0, 0, 1, 1, 1};
}

// Whether (x, y) lies inside the triangle, on either winding.
bool Inside(const raster::Vertex (&t)[3], float x, float y) {
    float sign = 0;
    for (int i = 0; i < 3; ++i) {
        const raster::Vertex& p = t[i];
        const raster::Vertex& q = t[(i + 1) % 3];
        const float cross = (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
        if (cross != 0 && sign != 0 && (cross > 0) != (sign > 0)) return false;
        if (cross != 0) sign = cross;
    }
    return true;
}

TEST(RowSpansTest, EveryPixelInsideATriangleLiesInItsRowsSpan) {
    const raster::Vertex triangles[][3] = {
        {At(80, 10), At(150, 60), At(80, 110)},       // within the viewport
        {At(-50, -40), At(100, -30), At(-20, 90)},    // past the left and top edges
        {At(10, 50.5f), At(150, 50.5f), At(80, 51)},  // a level edge, one row high
        {At(200, 200), At(-400, 60), At(170, -90)},   // covering the viewport's middle
    };
    for (const auto& t : triangles) {
        rm::RowSpans spans;
        spans.Reset(kWidth, kHeight);
        spans.AddTriangle(t[0], t[1], t[2]);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                if (!Inside(t, x + 0.5f, y + 0.5f)) continue;
                const bool inRows = y >= spans.Top() && y < spans.Bottom();
                ASSERT_TRUE(inRows && x >= spans.Row(y).left && x < spans.Row(y).right)
                    << "pixel " << x << "," << y << " of triangle at " << t[0].x << "," << t[0].y;
            }
    }
}

TEST(RowSpansTest, RowsAreNarrowerThanTheBoxAndOffPlaneTrianglesAddNothing) {
    rm::RowSpans spans;
    spans.Reset(kWidth, kHeight);
    spans.AddTriangle(At(80, 10), At(130, 60), At(80, 110));
    spans.AddTriangle(At(80, 10), At(80, 110), At(30, 60));
    EXPECT_LT(spans.Row(20).right - spans.Row(20).left, 40);
    EXPECT_GT(spans.Row(60).right - spans.Row(60).left, 98);

    spans.Reset(kWidth, kHeight);
    spans.AddTriangle(At(std::numeric_limits<float>::infinity(), 10), At(10, 10), At(10, 50));
    EXPECT_GE(spans.Top(), spans.Bottom());
}

}  // namespace
