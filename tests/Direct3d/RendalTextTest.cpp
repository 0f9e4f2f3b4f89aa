// Text over the picture at every display depth, its glyphs grown with the
// render area's height, copied to the screen by the next presentation alone.
#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "tests/Direct3d/RendalTestSupport.h"

namespace {

constexpr std::uint32_t kScribble = 0x00DEAD00u;

struct TextCase {
    int depth, width, height;
    int scale;  // screen pixels per glyph pixel
};

class RendalTextTest : public RendalTest, public testing::WithParamInterface<TextCase> {};

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
    const auto pixel = [&](int x, int y) -> std::uint32_t& {
        return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(screen.lpSurface) +
                                                static_cast<std::ptrdiff_t>(y) * screen.lPitch)[x];
    };
    for (int y = 0; y < c.height; ++y) std::fill_n(&pixel(0, y), c.width, kScribble);

    ASSERT_EQ(RZXCornerText("8"), 1);
    ASSERT_EQ(RZXFlip(), 1);
    // "8": a box of 7 x 9 units two units in; the glyph's top row lights
    // units 2 to 4 of the box's second row.
    const int s = c.scale, m = 2 * s;
    const struct {
        int x, y;
        std::uint32_t colour;
    } probes[] = {{m + 2 * s, m + s, 0xFFFFFFu},
                  {m + 5 * s - 1, m + 2 * s - 1, 0xFFFFFFu},
                  {m + s, m + s, 0},
                  {m + 7 * s - 1, m + 9 * s - 1, 0},
                  {m + 7 * s, m, kScribble},
                  {m, m + 9 * s, kScribble},
                  {m - 1, m, kScribble}};
    for (const auto& p : probes) EXPECT_EQ(pixel(p.x, p.y) & 0xFFFFFFu, p.colour) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Depths, RendalTextTest,
                         testing::Values(TextCase{32, 200, 150, 1}, TextCase{16, 200, 150, 1},
                                         TextCase{8, 200, 150, 1}, TextCase{32, 160, 720, 2},
                                         TextCase{16, 64, 1440, 3}),
                         [](const testing::TestParamInfo<TextCase>& info) {
                             return "bits" + std::to_string(info.param.depth) + "_height" +
                                    std::to_string(info.param.height);
                         });

}  // namespace
