#include "tests/Direct3d/RendalTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

DebugCapture::DebugCapture() {
    char path[] = "/tmp/rendal-debugXXXXXX";
    file_ = mkstemp(path);
    if (file_ < 0) std::abort();
    unlink(path);
    std::fflush(stderr);
    saved_ = dup(2);
    dup2(file_, 2);
}

DebugCapture::~DebugCapture() {
    Stop();
}

std::string DebugCapture::Stop() {
    if (saved_ < 0) return {};
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    saved_ = -1;
    std::string text;
    char buf[4096];
    lseek(file_, 0, SEEK_SET);
    for (ssize_t n; (n = read(file_, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    close(file_);
    return text;
}

std::vector<int> AllCallCounts() {
    std::vector<int> counts;
    for (int call = 0; call < static_cast<int>(DxCall::Count); ++call)
        counts.push_back(DxFault::CallCount(static_cast<DxCall>(call)));
    return counts;
}

ULONG CountOf(IUnknown* object) {
    ULONG count = object->AddRef() - 1;
    object->Release();
    return count;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t start = text.find(from);
    if (start == std::string::npos) return "<" + from + " missing>";
    start += from.size();
    std::size_t end = text.find(to, start);
    if (end == std::string::npos) return "<" + to + " missing>";
    return text.substr(start, end - start);
}

namespace {

constexpr char kClassName[] = "RendalTestWindow";

void RegisterTestClass() {
    static bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
}

}  // namespace

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
    RegisterTestClass();
    window_ = CreateWindowExA(0, kClassName, "Rendal", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                              nullptr, nullptr, nullptr);
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
