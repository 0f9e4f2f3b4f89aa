// Text over the picture at every display depth, its glyphs grown with the
// render area's height, copied to the screen by the next presentation alone.
#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "tests/Direct3d/RendalTestSupport.h"

namespace {

struct TextCase {
    int depth, height;
    int scale;  // screen pixels per glyph pixel
};

class RendalTextTest : public RendalTest, public testing::WithParamInterface<TextCase> {};

TEST_P(RendalTextTest, TheCornerShowsTheGlyphsOnABlackBox) {
    const TextCase& c = GetParam();
    DxFault::PretendDisplayDepth(c.depth);
    DxPretendDesktopSize(160, c.height);
    OpenWindow(0, 0, 160, c.height);
    ASSERT_NO_FATAL_FAILURE(StartLayer());
    RZXSetActive(1);
    ASSERT_EQ(RZXFlip(), 1);
    DDSURFACEDESC screen{};
    screen.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_TRUE(DxReadScreenImage(RZXState.lpDDSPrimary, &screen));
    auto* pixels = static_cast<std::uint32_t*>(screen.lpSurface);  // 160 to a row
    std::fill_n(pixels, 160 * c.height, 0x00DEAD00u);

    ASSERT_EQ(RZXCornerText("8"), 1);
    ASSERT_EQ(RZXFlip(), 1);
    // "8": a box of 7 x 9 units two units in; the glyph's top row lights
    // units 2 to 4 of the box's second row.
    const int s = c.scale, m = 2 * s;
    EXPECT_EQ(pixels[(m + s) * 160 + m + 2 * s] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pixels[(m + s) * 160 + m + s] & 0xFFFFFF, 0u);
    EXPECT_EQ(pixels[(m + 9 * s - 1) * 160 + m + 7 * s - 1] & 0xFFFFFF, 0u);
    EXPECT_EQ(pixels[m * 160 + m + 7 * s], 0x00DEAD00u);
    EXPECT_EQ(pixels[(m + 9 * s) * 160 + m], 0x00DEAD00u);
}

INSTANTIATE_TEST_SUITE_P(Depths, RendalTextTest,
                         testing::Values(TextCase{32, 150, 1}, TextCase{16, 150, 1}, TextCase{8, 150, 1},
                                         TextCase{32, 720, 2}, TextCase{16, 1440, 3}));

}  // namespace
