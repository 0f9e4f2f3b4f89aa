#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "Platform/Win32/Win32Extensions.h"
#include "Platform/Win32/Win32TestHooks.h"
#include "tests/Platform/Win32/User/WindowTestSupport.h"

namespace {

TEST(DisplayDcTest, DepthIsTheBitsPerPixelOfTheSurfaceInMemory) {
    HWND window = MakeRecordingWindow();
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    // SDL's dummy driver keeps its surfaces as XRGB8888: four bytes a pixel.
    ASSERT_EQ(SDL_GetWindowPixelFormat(Win32SdlWindow(window)), SDL_PIXELFORMAT_RGB888);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(GetDC(nullptr), BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL + 1), 0);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    DestroyWindow(window);
    EXPECT_EQ(GetDC(window), nullptr);
}

TEST(DisplayDcTest, PretendedDepthsReplaceTheRealOne) {
    HWND window = MakeRecordingWindow();
    ASSERT_NE(window, nullptr);
    const struct {
        int pretended;
        int reported;
    } cases[] = {{8, 8}, {16, 16}, {24, 24}, {32, 32}, {12, 32}, {0, 32}};
    for (const auto& c : cases) {
        Win32PretendDisplayDepth(c.pretended);
        EXPECT_EQ(GetDeviceCaps(GetDC(window), BITSPIXEL), c.reported) << c.pretended;
        EXPECT_EQ(GetDeviceCaps(GetDC(nullptr), BITSPIXEL), c.reported) << c.pretended;
    }
    Win32PretendDisplayDepth(0);
    DestroyWindow(window);
}

TEST(DisplayDcTest, SystemPaletteHasTheStaticColoursAtBothEndsAndDistinctColoursBetween) {
    PALETTEENTRY palette[256];
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, palette), 256u);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 0, nullptr), 256u);
    const struct {
        int index;
        BYTE r, g, b;
    } statics[] = {{0, 0, 0, 0},         {1, 128, 0, 0},       {7, 192, 192, 192}, {9, 166, 202, 240},
                   {246, 255, 251, 240}, {248, 128, 128, 128}, {249, 255, 0, 0},   {250, 0, 255, 0},
                   {252, 0, 0, 255},     {255, 255, 255, 255}};
    for (const auto& s : statics) {
        EXPECT_EQ(std::make_tuple(palette[s.index].peRed, palette[s.index].peGreen, palette[s.index].peBlue),
                  std::make_tuple(s.r, s.g, s.b))
            << s.index;
    }
    std::set<std::tuple<int, int, int>> between;
    for (int i = 10; i < 246; ++i) {
        between.insert({palette[i].peRed, palette[i].peGreen, palette[i].peBlue});
        EXPECT_EQ(palette[i].peFlags, 0) << i;
    }
    EXPECT_EQ(between.size(), 236u);
}

TEST(DisplayDcTest, PaletteRangesAreCutAtTheEnd) {
    PALETTEENTRY all[256];
    PALETTEENTRY tail[10] = {};
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, all);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 250, 10, tail), 6u);
    EXPECT_EQ(tail[5].peRed, all[255].peRed);
    EXPECT_EQ(tail[0].peGreen, all[250].peGreen);
    EXPECT_EQ(tail[6].peRed, 0);  // untouched
    EXPECT_EQ(GetSystemPaletteEntries(screen, 256, 1, tail), 0u);
    EXPECT_EQ(GetSystemPaletteEntries(nullptr, 0, 1, tail), 0u);
}

}  // namespace
