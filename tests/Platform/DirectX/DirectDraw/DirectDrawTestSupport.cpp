#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

#include <cstring>

void DirectDrawTest::Fill(IDirectDrawSurface* surface, std::uint32_t value) {
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = static_cast<std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            std::memcpy(row + x * bytes, &value, static_cast<std::size_t>(bytes));
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

void PresentationTest::SetUp() {
    DirectDrawTest::SetUp();
    DxPretendDesktopSize(screenWidth_, screenHeight_);
}

void PresentationTest::TearDown() {
    Close();
    DirectDrawTest::TearDown();
}

void PresentationTest::Open(int depth, int x, int y, int width, int height) {
    DxFault::PretendDisplayDepth(depth);
    window_ = OpenTestWindow(x, y, width, height);
    ASSERT_NE(window_, nullptr);
    primary_ = Make(PrimaryDesc());
    back_ = Make(BackDesc(static_cast<DWORD>(width), static_cast<DWORD>(height)));
    ASSERT_EQ(dd_->CreateClipper(0, &clipper_, nullptr), DD_OK);
    ASSERT_EQ(clipper_->SetHWnd(0, window_), DD_OK);
    ASSERT_EQ(primary_->SetClipper(clipper_), DD_OK);
}

void PresentationTest::Close() {
    for (IUnknown** object : {reinterpret_cast<IUnknown**>(&back_), reinterpret_cast<IUnknown**>(&primary_),
                              reinterpret_cast<IUnknown**>(&clipper_)})
        if (*object != nullptr) {
            EXPECT_EQ((*object)->Release(), 0u);
            *object = nullptr;
        }
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
}

DDSURFACEDESC PresentationTest::Screen() {
    DDSURFACEDESC screen = SizedDesc();
    EXPECT_TRUE(DxReadScreenImage(primary_, &screen));
    return screen;
}
