// Presentation: a blit to the primary surface lands, through the clipper's
// window, unscaled in the screen image, clipped to the window and the screen,
// converted from the surface's format.
#include <cstring>

#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

constexpr int kScreenWidth = 200;
constexpr int kScreenHeight = 150;

class DDrawPresentTest : public PresentationTest {
protected:
    DDrawPresentTest() : PresentationTest(kScreenWidth, kScreenHeight) {}

    // Paints each back pixel with a value made of its coordinates.
    void PaintCoordinates() {
        DDSURFACEDESC desc = SizedDesc();
        ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(desc.lpSurface) +
                                                 y * desc.lPitch)[x] =
                    Coordinates(static_cast<int>(x), static_cast<int>(y));
        ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    }
};

TEST_F(DDrawPresentTest, TheScreenImageIsTheDesktopAndStartsBlack) {
    Open(32, 0, 0, 10, 10);
    const DDSURFACEDESC screen = Screen();
    EXPECT_EQ(screen.dwWidth, static_cast<DWORD>(kScreenWidth));
    EXPECT_EQ(screen.dwHeight, static_cast<DWORD>(kScreenHeight));
    EXPECT_EQ(screen.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(PixelAt(screen, kScreenWidth - 1, kScreenHeight - 1), 0u);
    DDSURFACEDESC desc = SizedDesc();
    EXPECT_FALSE(DxReadScreenImage(back_, &desc));
    EXPECT_EQ(primary_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
}

struct Landing {
    const char* what;
    int windowX, windowY, width, height;
    RECT dest;  // screen coordinates
};

TEST_F(DDrawPresentTest, BlitLandsUnscaledInsideTheWindowOnly) {
    const Landing cases[] = {
        {"at the window's place", 40, 30, 64, 48, {40, 30, 104, 78}},
        {"shifted right and down", 40, 30, 64, 48, {50, 35, 114, 83}},
        {"shifted left and up", 40, 30, 64, 48, {20, 10, 84, 58}},
        {"window past the screen's corner", 170, 130, 64, 48, {170, 130, 234, 178}},
        {"window past the screen's origin", -10, -5, 64, 48, {-10, -5, 54, 43}},
    };
    for (const Landing& c : cases) {
        SCOPED_TRACE(c.what);
        Open(32, c.windowX, c.windowY, c.width, c.height);
        PaintCoordinates();
        RECT dest = c.dest;
        ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        const DDSURFACEDESC screen = Screen();
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                const bool inWindow =
                    x >= c.windowX && x < c.windowX + c.width && y >= c.windowY && y < c.windowY + c.height;
                const bool inDest = x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
                const std::uint32_t expected =
                    inWindow && inDest ? Coordinates(x - dest.left, y - dest.top) : 0u;
                ASSERT_EQ(PixelAt(screen, x, y), expected) << x << "," << y;
            }
        Close();
    }
}

TEST_F(DDrawPresentTest, WithoutAWindowTheBlitGoesToScreenCoordinates) {
    Open(32, 40, 30, 20, 10);
    ASSERT_EQ(clipper_->SetHWnd(0, nullptr), DD_OK);
    PaintCoordinates();
    RECT dest{kScreenWidth - 5, 0, kScreenWidth + 15, 10};
    ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const DDSURFACEDESC screen = Screen();
    EXPECT_EQ(PixelAt(screen, kScreenWidth - 5, 0), Coordinates(0, 0));
    EXPECT_EQ(PixelAt(screen, kScreenWidth - 1, 9), Coordinates(4, 9));
    EXPECT_EQ(PixelAt(screen, 40, 30), 0u);
}

TEST_F(DDrawPresentTest, BlitToAClosedWindowLandsNowhere) {
    Open(32, 10, 10, 20, 20);
    PaintCoordinates();
    DestroyWindow(window_);
    window_ = nullptr;
    RECT dest{10, 10, 30, 30};
    EXPECT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelAt(Screen(), 15, 15), 0u);
}

TEST_F(DDrawPresentTest, RefusedBlitsLeaveTheScreenAlone) {
    Open(32, 10, 10, 20, 20);
    PaintCoordinates();
    RECT dest{10, 10, 30, 30};
    RECT scaled{10, 10, 50, 50};
    RECT reversed{30, 10, 10, 30};
    DxFault::MarkSurfaceLost(primary_);
    EXPECT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    primary_->Restore();
    EXPECT_EQ(primary_->Blt(&scaled, back_, nullptr, DDBLT_WAIT, nullptr), DDERR_UNSUPPORTED);
    EXPECT_EQ(primary_->Blt(&reversed, back_, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    DxFault::FailCall(DxCall::Surface_Blt, DDERR_WASSTILLDRAWING);
    EXPECT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(PixelAt(Screen(), 15, 15), 0u);
    EXPECT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelAt(Screen(), 15, 15), Coordinates(5, 5));
}

TEST_F(DDrawPresentTest, SixteenBitPixelsWidenToFullIntensity) {
    Open(16, 0, 0, 4, 1);
    const std::uint16_t pixels[4] = {0xF800, 0x07E0, 0x001F, 0x8410};
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::memcpy(desc.lpSurface, pixels, sizeof pixels);
    back_->Unlock(nullptr);
    RECT dest{0, 0, 4, 1};
    ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const std::uint32_t expected[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x848284};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(Screen(), x, 0), expected[x]) << x;
}

TEST_F(DDrawPresentTest, EightBitPixelsShowThePalettesColours) {
    Open(8, 0, 0, 3, 1);
    PALETTEENTRY entries[256]{};
    entries[1] = {0x12, 0x34, 0x56, D3DPAL_READONLY};
    entries[2] = {0xFF, 0x80, 0x00, PC_RESERVED};
    entries[3] = {0x01, 0x02, 0x03, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette, nullptr), DD_OK);
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const std::uint8_t indices[3] = {1, 2, 3};
    std::memcpy(desc.lpSurface, indices, sizeof indices);
    back_->Unlock(nullptr);
    RECT dest{0, 0, 3, 1};

    // With no palette anywhere the system palette shows (its entry 1 is not black).
    ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    PALETTEENTRY system[256]{};
    GetSystemPaletteEntries(GetDC(nullptr), 0, 256, system);
    EXPECT_EQ(PixelAt(Screen(), 0, 0),
              std::uint32_t{system[1].peRed} << 16 | system[1].peGreen << 8 | system[1].peBlue);

    ASSERT_EQ(back_->SetPalette(palette), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const std::uint32_t expected[3] = {0x123456, 0xFF8000, 0x010203};
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(Screen(), x, 0), expected[x]) << x;

    PALETTEENTRY changed{0xAA, 0xBB, 0xCC, 0};
    ASSERT_EQ(palette->SetEntries(0, 2, 1, &changed), DD_OK);
    ASSERT_EQ(primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelAt(Screen(), 1, 0), 0xAABBCCu);
    palette->Release();
}

}  // namespace
