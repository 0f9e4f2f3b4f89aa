// Text over the picture: a box in the top-left corner, glyphs lit in white
// on black at every display depth, grown with the render area's height, and
// copied to the screen by the next presentation (which copies nothing else).
#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "tests/Direct3d/RendalTestSupport.h"

namespace {

constexpr std::uint32_t kScribble = 0x00DEAD00u;

struct TextCase {
    int depth;
    int width, height;
    int scale;  // screen pixels per glyph pixel
};

class RendalTextTest : public RendalTest, public testing::WithParamInterface<TextCase> {};

std::uint32_t* ScreenRow(const DDSURFACEDESC& screen, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(screen.lpSurface) +
                                            static_cast<std::ptrdiff_t>(y) * screen.lPitch);
}

TEST_P(RendalTextTest, TheCornerShowsTheGlyphsOnABlackBox) {
    const TextCase& c = GetParam();
    DxFault::PretendDisplayDepth(c.depth);
    DxPretendDesktopSize(c.width, c.height);
    OpenWindow(0, 0, c.width, c.height);
    ASSERT_NO_FATAL_FAILURE(StartLayer());
    RZXSetActive(1);
    ASSERT_EQ(RZXFlip(), 1);
    DDSURFACEDESC screen{};
    screen.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_TRUE(DxReadScreenImage(RZXState.lpDDSPrimary, &screen));
    for (int y = 0; y < c.height; ++y) std::fill_n(ScreenRow(screen, y), c.width, kScribble);

    ASSERT_EQ(RZXCornerText("8"), 1);
    ASSERT_EQ(RZXFlip(), 1);

    // "8": a box of 7 x 9 units two units in from the corner; the glyph's
    // top row lights units 2 to 4 of the box's second row.
    const int s = c.scale, m = 2 * s;
    struct Probe {
        int x, y;
        std::uint32_t colour;
    };
    const Probe probes[] = {{m + 2 * s, m + s, 0xFFFFFFu},
                            {m + 4 * s + s - 1, m + 2 * s - 1, 0xFFFFFFu},
                            {m + s, m + s, 0},
                            {m, m, 0},
                            {m + 7 * s - 1, m + 9 * s - 1, 0},
                            {m + 7 * s, m, kScribble},
                            {m, m + 9 * s, kScribble},
                            {m - 1, m, kScribble},
                            {c.width - 1, c.height - 1, kScribble}};
    for (const Probe& p : probes)
        EXPECT_EQ(ScreenRow(screen, p.y)[p.x] & 0xFFFFFFu, p.colour) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Depths, RendalTextTest,
                         testing::Values(TextCase{32, 200, 150, 1}, TextCase{16, 200, 150, 1},
                                         TextCase{8, 200, 150, 1}, TextCase{32, 160, 720, 2},
                                         TextCase{16, 64, 1440, 3}),
                         [](const testing::TestParamInfo<TextCase>& info) {
                             const TextCase& c = info.param;
                             return "bits" + std::to_string(c.depth) + "_" + std::to_string(c.width) + "x" +
                                    std::to_string(c.height);
                         });

TEST_F(RendalTest, TextIsCutToASmallAreaAndSkippedWhileInactive) {
    OpenWindow(0, 0, 8, 6);
    ASSERT_NO_FATAL_FAILURE(StartLayer());
    RZXSetActive(1);
    EXPECT_EQ(RZXCornerText("60.0 fps"), 1);
    RZXSetActive(0);
    const int locks = DxFault::CallCount(DxCall::Surface_Lock);
    EXPECT_EQ(RZXCornerText("60.0 fps"), 0);
    EXPECT_EQ(DxFault::CallCount(DxCall::Surface_Lock), locks);
}

}  // namespace
