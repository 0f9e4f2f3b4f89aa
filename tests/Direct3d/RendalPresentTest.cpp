// The render area follows the window, and lost surfaces come back.
#include <gmock/gmock.h>

#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "tests/Direct3d/RendalTestSupport.h"

namespace {

TEST_F(RendalTest, RenderAreaIsTheClientAreaOnTheScreen) {
    OpenWindow(37, 21, 160, 120);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });

    EXPECT_EQ(RZXState.rcScreen.left, 37);
    EXPECT_EQ(RZXState.rcScreen.top, 21);
    EXPECT_EQ(RZXState.rcScreen.right, 197);
    EXPECT_EQ(RZXState.rcScreen.bottom, 141);
    EXPECT_EQ(RZXState.width, 160);
    EXPECT_EQ(RZXState.height, 120);
    EXPECT_EQ(RZXState.colorModel, D3DCOLOR_MONO);

    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(RZXState.lpDDSBack->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 160u);
    EXPECT_EQ(desc.dwHeight, 120u);
}

std::uint32_t& Pixel(const DDSURFACEDESC& image, int x, int y) {
    auto* row = static_cast<std::uint8_t*>(image.lpSurface) + static_cast<std::ptrdiff_t>(y) * image.lPitch;
    return reinterpret_cast<std::uint32_t*>(row)[x];
}

TEST_F(RendalTest, FlipCopiesTheFrameUnscaledIntoTheWindowOnTheScreen) {
    DxFault::PretendDisplayDepth(32);
    DxPretendDesktopSize(400, 300);
    OpenWindow(37, 21, 160, 120);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });

    constexpr std::uint32_t kColour = 0x00336699;
    DDSURFACEDESC back{};
    back.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(RZXState.lpDDSBack->Lock(nullptr, &back, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(back.ddpfPixelFormat.dwRGBBitCount, 32u);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) Pixel(back, x, y) = kColour;
    ASSERT_EQ(RZXState.lpDDSBack->Unlock(nullptr), DD_OK);

    RZXSetActive(1);
    EXPECT_EQ(RZXFlip(), 1);

    DDSURFACEDESC screen{};
    screen.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_TRUE(DxReadScreenImage(RZXState.lpDDSPrimary, &screen));
    ASSERT_EQ(screen.dwWidth, 400u);
    ASSERT_EQ(screen.dwHeight, 300u);
    struct Probe {
        int x, y;
        bool inside;
    };
    const Probe probes[] = {{37, 21, true},    {196, 21, true},   {37, 140, true},
                            {196, 140, true},  {36, 21, false},   {37, 20, false},
                            {197, 140, false}, {196, 141, false}, {0, 0, false}};
    for (const Probe& p : probes)
        EXPECT_EQ(Pixel(screen, p.x, p.y) & 0xFFFFFFu, p.inside ? kColour : 0u) << p.x << "," << p.y;
}

struct Loss {
    bool primary;
    bool zBuffer;
    bool back;
    int restores;
};

void PrintTo(const Loss& l, std::ostream* os) {
    *os << "lost:" << (l.primary ? " primary" : "") << (l.zBuffer ? " z-buffer" : "")
        << (l.back ? " back" : "");
}

const Loss kLosses[] = {
    {false, false, false, 0}, {true, false, false, 1}, {false, true, false, 1},
    {true, true, false, 2},   {false, false, true, 0},
};

class RendalRestoreTest : public RendalTest, public testing::WithParamInterface<Loss> {};

TEST_P(RendalRestoreTest, RestoresOnlyLostSurfacesAndRedrawsTheViewport) {
    const Loss& loss = GetParam();
    OpenWindow(0, 0, 200, 100);
    ASSERT_NO_FATAL_FAILURE(StartWithViewport());
    RZXSetActive(1);
    if (loss.primary) DxFault::MarkSurfaceLost(RZXState.lpDDSPrimary);
    if (loss.zBuffer) DxFault::MarkSurfaceLost(RZXState.lpDDSZBuffer);
    if (loss.back) DxFault::MarkSurfaceLost(RZXState.lpDDSBack);
    int restoresBefore = DxFault::CallCount(DxCall::Surface_Restore);
    int updatesBefore = DxFault::CallCount(DxCall::Viewport_ForceUpdate);

    EXPECT_EQ(Captured([] { EXPECT_EQ(RZXRestore(), 1); }), "");

    EXPECT_EQ(DxFault::CallCount(DxCall::Surface_Restore) - restoresBefore, loss.restores);
    EXPECT_EQ(DxFault::CallCount(DxCall::Viewport_ForceUpdate) - updatesBefore, loss.restores);
    if (loss.restores > 0) {
        DxFault::UpdateRect rect = DxFault::LastForceUpdate();
        EXPECT_EQ(rect.x1, 0u);
        EXPECT_EQ(rect.y1, 0u);
        EXPECT_EQ(rect.x2, 200u);
        EXPECT_EQ(rect.y2, 100u);
    }
    EXPECT_EQ(RZXState.lpDDSPrimary->IsLost(), DD_OK);
    EXPECT_EQ(RZXState.lpDDSZBuffer->IsLost(), DD_OK);
    EXPECT_EQ(RZXState.active, 1);
}

INSTANTIATE_TEST_SUITE_P(Losses, RendalRestoreTest, testing::ValuesIn(kLosses));

}  // namespace
