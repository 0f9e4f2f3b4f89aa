// Presentation on a real X display: the frame reaches the window's own
// image, at the window's coordinates, clipped to it and converted to the
// window's format. Runs on the private Xvfb of the end-to-end tests.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"
#include "tests/Support/TestWindow.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr std::uint32_t kUntouched = 0x00ABCDEF;

class DDrawRealDisplayTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        window_ = OpenTestWindow(100, 80, WindowWidth(), kHeight);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(Win32HasRealDisplay(window_));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        origin_ = POINT{0, 0};
        ClientToScreen(window_, &origin_);
    }
    void TearDown() override {
        for (IUnknown* object : {static_cast<IUnknown*>(back_), static_cast<IUnknown*>(primary_),
                                 static_cast<IUnknown*>(clipper_)})
            if (object != nullptr) object->Release();
        DestroyWindow(window_);
        DirectDrawTest::TearDown();
    }

    void Open(int depth) {
        DxFault::PretendDisplayDepth(depth);
        primary_ = Make(PrimaryDesc());
        back_ = Make(BackDesc(kWidth, kHeight));
        ASSERT_EQ(dd_->CreateClipper(0, &clipper_, nullptr), DD_OK);
        ASSERT_EQ(clipper_->SetHWnd(0, window_), DD_OK);
        ASSERT_EQ(primary_->SetClipper(clipper_), DD_OK);
        PaintImage(kUntouched);
    }

    virtual int WindowWidth() const { return kWidth; }

    // The window's image, as presentation finds it.
    Win32WindowImage Image() const {
        Win32WindowImage image{};
        EXPECT_EQ(Win32GetWindowImage(window_, &image), Win32ImageStatus::Ready);
        return image;
    }

    // Fills the image with 0x00RRGGBB, as someone else drawing there would.
    void PaintImage(std::uint32_t xrgb) const {
        const Win32WindowImage image = Image();
        ASSERT_EQ(image.bytesPerPixel, 4);  // the display is a 24-bit one
        const std::uint32_t pixel = Channel(image.redMask, xrgb >> 16) | Channel(image.greenMask, xrgb >> 8) |
                                    Channel(image.blueMask, xrgb);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                std::memcpy(image.bits + y * image.pitch + 4 * x, &pixel, 4);
    }

    // The image's pixel at (x, y) as 0x00RRGGBB.
    std::uint32_t WindowPixel(int x, int y) const {
        const Win32WindowImage image = Image();
        std::uint32_t value = 0;
        std::memcpy(&value, image.bits + y * image.pitch + x * image.bytesPerPixel, 4);
        return Level(image.redMask, value) << 16 | Level(image.greenMask, value) << 8 |
               Level(image.blueMask, value);
    }

    // An 8-bit channel value into the bits of an 8-bit wide `mask`, and back.
    static std::uint32_t Channel(DWORD mask, std::uint32_t value) {
        return (value & 0xFF) << std::countr_zero(mask);
    }
    static std::uint32_t Level(DWORD mask, std::uint32_t pixel) {
        return (pixel & mask) >> std::countr_zero(mask);
    }

    HRESULT Present(LONG dx, LONG dy) {
        RECT dest{origin_.x + dx, origin_.y + dy, origin_.x + dx + kWidth, origin_.y + dy + kHeight};
        return primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr);
    }

    HWND window_ = nullptr;
    POINT origin_{};
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
};

TEST_F(DDrawRealDisplayTest, FrameLandsInTheWindowClippedToIt) {
    Open(32);
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(desc.lpSurface) +
                                             y * desc.lPitch)[x] =
                static_cast<std::uint32_t>(x << 16 | y << 8 | 0x11);
    back_->Unlock(nullptr);

    ASSERT_EQ(Present(10, 5), DD_OK);
    EXPECT_EQ(WindowPixel(9, 20), kUntouched);
    EXPECT_EQ(WindowPixel(20, 4), kUntouched);
    EXPECT_EQ(WindowPixel(10, 5), 0x000011u);
    EXPECT_EQ(WindowPixel(kWidth - 1, kHeight - 1),
              static_cast<std::uint32_t>((kWidth - 11) << 16 | (kHeight - 6) << 8 | 0x11));

    ASSERT_EQ(Present(0, 0), DD_OK);
    EXPECT_EQ(WindowPixel(0, 0), 0x000011u);
    EXPECT_EQ(WindowPixel(kWidth - 1, 0), static_cast<std::uint32_t>((kWidth - 1) << 16 | 0x11));

    // The screen image stays untouched: the frame went to the display.
    DDSURFACEDESC screen = SizedDesc();
    ASSERT_TRUE(DxReadScreenImage(primary_, &screen));
    EXPECT_EQ(PixelAt(screen, origin_.x, origin_.y), 0u);
}

TEST_F(DDrawRealDisplayTest, SixteenAndEightBitFramesAreConvertedForTheWindow) {
    Open(16);
    Fill(back_, 0x07E0);
    ASSERT_EQ(Present(0, 0), DD_OK);
    EXPECT_EQ(WindowPixel(kWidth / 2, kHeight / 2), 0x00FF00u);
    TearDown();
    SetUp();

    Open(8);
    PALETTEENTRY entries[256]{};
    entries[5] = {0x20, 0x40, 0x60, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    palette->Release();
    Fill(back_, 5);
    ASSERT_EQ(Present(0, 0), DD_OK);
    EXPECT_EQ(WindowPixel(3, 3), 0x204060u);
}

// A back surface of the window's size and layout is drawn where the display
// reads: a lock hands out the image's own memory.
TEST_F(DDrawRealDisplayTest, AFittingBackSurfaceIsDrawnInTheImage) {
    Open(32);
    Fill(back_, 0x00112233);
    ASSERT_EQ(Present(0, 0), DD_OK);
    RECT corner{kWidth - 4, kHeight - 4, kWidth, kHeight};
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(&corner, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const Win32WindowImage image = Image();
    EXPECT_EQ(desc.lpSurface, image.bits + (kHeight - 4) * image.pitch + (kWidth - 4) * 4);
    reinterpret_cast<std::uint32_t*>(desc.lpSurface)[0] = 0x00445566;
    back_->Unlock(nullptr);
    ASSERT_EQ(Present(0, 0), DD_OK);
    EXPECT_EQ(WindowPixel(kWidth - 4, kHeight - 4), 0x445566u);
    EXPECT_EQ(WindowPixel(0, 0), 0x112233u);
}

// A back surface that does not fill its window is copied into the image,
// never drawn there directly.
class DDrawCopiedPresentationTest : public DDrawRealDisplayTest {
protected:
    int WindowWidth() const override { return kWidth + 16; }
};

// The window's image is painted over between presentations: a presentation
// that copies only the back surface's damage leaves the paint elsewhere.
TEST_F(DDrawCopiedPresentationTest, OnlyWhatChangedIsCopiedIntoTheWindow) {
    Open(32);
    Fill(back_, 0x00112233);
    ASSERT_EQ(Present(0, 0), DD_OK);
    const auto paintOver = [this] { PaintImage(kUntouched); };
    paintOver();
    RECT changed{10, 10, 20, 20};
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(&changed, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(desc.lpSurface) +
                                             y * desc.lPitch)[x] = 0x00445566;
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    ASSERT_EQ(Present(0, 0), DD_OK);
    struct Probe {
        int x, y;
        std::uint32_t expected;
    };
    const Probe onlyTheLock[] = {{10, 10, 0x445566},  {19, 19, 0x445566},
                                 {9, 10, kUntouched}, {20, 19, kUntouched},
                                 {0, 0, kUntouched},  {kWidth - 1, kHeight - 1, kUntouched}};
    for (const Probe& p : onlyTheLock) EXPECT_EQ(WindowPixel(p.x, p.y), p.expected) << p.x << "," << p.y;

    // Elsewhere on the screen: everything is copied.
    paintOver();
    ASSERT_EQ(Present(1, 0), DD_OK);
    const Probe everything[] = {{0, 0, kUntouched}, {1, 0, 0x112233},   {11, 10, 0x445566},
                                {20, 19, 0x445566}, {21, 19, 0x112233}, {kWidth - 1, kHeight - 1, 0x112233}};
    for (const Probe& p : everything) EXPECT_EQ(WindowPixel(p.x, p.y), p.expected) << p.x << "," << p.y;
}

}  // namespace
