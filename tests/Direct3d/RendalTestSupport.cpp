#include "tests/Direct3d/RendalTestSupport.h"

#include "tests/Support/TestWindow.h"

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t start = text.find(from);
    if (start == std::string::npos) return "<" + from + " missing>";
    start += from.size();
    std::size_t end = text.find(to, start);
    if (end == std::string::npos) return "<" + to + " missing>";
    return text.substr(start, end - start);
}

void RendalTest::SetUp() {
    DxFault::Reset();
    Captured([] { RZXInitialize(); });
}

void RendalTest::TearDown() {
    Captured([] { RZXCleanup(); });
    if (camera_) camera_->Release();
    if (scene_) scene_->Release();
    if (window_) DestroyWindow(window_);
    DxFault::Reset();
}

void RendalTest::OpenWindow(int x, int y, int width, int height) {
    window_ = OpenTestWindow(x, y, width, height);
    ASSERT_NE(window_, nullptr);
}

void RendalTest::StartLayer() {
    if (!window_) OpenWindow(0, 0, 320, 240);
    int created = 0;
    Captured([&] { created = CreateDirectDrawWin(window_) && RZXCreate(); });
    ASSERT_EQ(created, 1);
}

void RendalTest::StartWithViewport() {
    StartLayer();
    ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(nullptr, &scene_), D3DRM_OK);
    ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(scene_, &camera_), D3DRM_OK);
    int made = 0;
    Captured([&] { made = RZXViewport(camera_); });
    ASSERT_EQ(made, 1);
}

bool RendalTest::NothingHeld() {
    const RZXSTATE& s = RZXState;
    return !s.lpDD && !s.lpD3D && !s.lpD3DRM && !s.lpD3DRMBase && !s.lpDDSPrimary && !s.lpDDSBack &&
           !s.lpDDSZBuffer && !s.lpDDPalette && !s.lpDDClipper && !s.lpD3DDevice && !s.lpRMDevice &&
           !s.lpRMViewport;
}
