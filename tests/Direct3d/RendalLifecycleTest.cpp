// The state's defaults, its release, the ready flag and the traces of a
// normal start.
#include <gmock/gmock.h>

#include <cstring>

#include "tests/Direct3d/RendalTestSupport.h"

namespace {

TEST_F(RendalTest, InitializeResetsEveryFieldToTheDefaults) {
    RZXState.active = 1;
    RZXState.width = 7;
    RZXState.colorModel = D3DCOLOR_RGB;
    RZXState.rcScreen = RECT{1, 2, 3, 4};
    RZXState.palEntries[100].peFlags = 0x40;
    RZXState.traceBuf[0] = 'x';
    enumDone = 1;

    EXPECT_EQ(Captured([] { EXPECT_EQ(RZXInitialize(), 1); }), "RZX:Rendal Initialize\n");

    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_EQ(RZXState.width, 320);
    EXPECT_EQ(RZXState.height, 240);
    EXPECT_EQ(RZXState.bpp, 16);
    EXPECT_EQ(RZXState.colorModel, 0u);
    EXPECT_EQ(RZXState.rcScreen.right, 0);
    EXPECT_EQ(RZXState.palEntries[100].peFlags, 0);
    EXPECT_EQ(RZXState.traceBuf[0], '\0');
    EXPECT_EQ(enumDone, 0);
}

TEST_F(RendalTest, CleanupOfAFreshStateOnlyTraces) {
    EXPECT_EQ(Captured([] { EXPECT_EQ(RZXCleanup(), 1); }), "RZX:Rendal Cleanup\n");
    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(RZXState.active, 0);
}

struct ActiveCase {
    int before;
    int on;
    int after;
};

const ActiveCase kActiveCases[] = {
    {0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {0, 2, 0}, {1, 2, 1}, {0, -1, 0}, {1, -1, 1},
};

TEST_F(RendalTest, SetActiveTakesOnlyZeroAndOne) {
    for (const ActiveCase& c : kActiveCases) {
        RZXState.active = c.before;
        std::string out = Captured([&] { EXPECT_EQ(RZXSetActive(c.on), 1); });
        EXPECT_EQ(RZXState.active, c.after) << c.before << " " << c.on;
        EXPECT_EQ(out, "");
    }
}

// Every object the state holds, in the order RZXCleanup gives them up.
std::vector<IUnknown*> HeldObjects() {
    const RZXSTATE& s = RZXState;
    return {s.lpRMViewport, s.lpRMDevice, s.lpD3DDevice, s.lpDDPalette,  s.lpDDSZBuffer, s.lpD3DRM,
            s.lpD3D,        s.lpDDSBack,  s.lpDDClipper, s.lpDDSPrimary, s.lpDD};
}

TEST_F(RendalTest, CleanupReleasesEachObjectOnceAndKeepsTheMeasures) {
    DxFault::PretendDisplayDepth(8);  // so that a palette is held too
    OpenWindow(12, 34, 256, 192);
    ASSERT_NO_FATAL_FAILURE(StartWithViewport());
    RZXSetActive(1);

    // An extra reference on each object keeps it alive, so its count shows
    // exactly how often the layer released it.
    std::vector<IUnknown*> objects = HeldObjects();
    std::vector<ULONG> counts;
    for (IUnknown* object : objects) {
        ASSERT_NE(object, nullptr);
        counts.push_back(object->AddRef());
    }
    const RZXSTATE kept = RZXState;

    EXPECT_EQ(Captured([] { RZXCleanup(); }), "RZX:Rendal Cleanup\n");
    EXPECT_EQ(Captured([] { RZXCleanup(); }), "RZX:Rendal Cleanup\n");

    for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_EQ(RefCount(objects[i]), counts[i] - 1) << i;
    for (IUnknown* object : objects) object->Release();

    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_EQ(RZXState.width, 256);
    EXPECT_EQ(RZXState.height, 192);
    EXPECT_EQ(RZXState.bpp, 8);
    EXPECT_EQ(RZXState.colorModel, D3DCOLOR_MONO);
    EXPECT_EQ(std::memcmp(&RZXState.rcScreen, &kept.rcScreen, sizeof kept.rcScreen), 0);
    EXPECT_EQ(std::memcmp(RZXState.palEntries, kept.palEntries, sizeof kept.palEntries), 0);
}

TEST_F(RendalTest, PerFrameOperationsTouchNothingWhileInactive) {
    ASSERT_NO_FATAL_FAILURE(StartWithViewport());
    DxFault::MarkSurfaceLost(RZXState.lpDDSPrimary);

    std::vector<int> before = AllCallCounts();
    EXPECT_EQ(RZXRender(scene_), 0);
    EXPECT_EQ(RZXFlip(), 0);
    EXPECT_EQ(RZXRestore(), 1);
    EXPECT_EQ(AllCallCounts(), before);

    RZXSetActive(1);
    EXPECT_EQ(RZXRender(nullptr), 0);
    EXPECT_EQ(AllCallCounts(), before);
    EXPECT_EQ(RZXRender(scene_), 1);
    EXPECT_NE(AllCallCounts(), before);

    Captured([] { RZXCleanup(); });
    before = AllCallCounts();
    EXPECT_EQ(RZXRender(scene_), 0);
    EXPECT_EQ(RZXFlip(), 0);
    EXPECT_EQ(RZXRestore(), 1);
    EXPECT_EQ(AllCallCounts(), before);
}

TEST_F(RendalTest, NormalStartTracesEachStep) {
    DxFault::PretendDisplayDepth(32);
    OpenWindow(0, 0, 320, 240);
    int created = 0;
    std::string out =
        Captured([&] { created = RZXInitialize() && CreateDirectDrawWin(window_) && RZXCreate(); });
    EXPECT_EQ(created, 1);
    EXPECT_EQ(out,
              "RZX:Rendal Initialize\n"
              "RZX:CreateDirectDrawWin\n"
              "RZX:Rendal Cleanup\n"
              "RZX:CreateD3DRM\n"
              "RZX:DeviceName :Ramp Emulation f2086b20\n"
              "RZX:DeviceGuid 0\n"
              "RZX:Created Direct3DDevice with MMX(HEL)\n");
}

TEST_F(RendalTest, ViewportTracesTheClientSize) {
    OpenWindow(0, 0, 640, 480);
    ASSERT_NO_FATAL_FAILURE(StartLayer());
    ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(nullptr, &scene_), D3DRM_OK);
    ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(scene_, &camera_), D3DRM_OK);

    std::string out = Captured([&] { EXPECT_EQ(RZXViewport(camera_), 1); });
    EXPECT_EQ(out, "RZX:RZXViewport\nRZX:Viewport width:640 height:480\nphase 3\nphase 4\n");
    EXPECT_EQ(RZXState.lpRMViewport->GetWidth(), 640u);
    EXPECT_EQ(RZXState.lpRMViewport->GetHeight(), 480u);
    EXPECT_EQ(RZXState.lpRMViewport->GetBack(), 5000.0f);
}

TEST_F(RendalTest, RepeatedDisplayCreationReleasesThePreviousObjects) {
    OpenWindow(0, 0, 160, 120);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });
    IUnknown* first[] = {RZXState.lpDD, RZXState.lpDDSPrimary, RZXState.lpDDSBack, RZXState.lpDDClipper};
    std::vector<ULONG> counts;
    for (IUnknown* object : first) counts.push_back(object->AddRef());

    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });

    for (std::size_t i = 0; i < std::size(first); ++i) EXPECT_EQ(RefCount(first[i]), counts[i] - 1) << i;
    EXPECT_NE(RZXState.lpDDSBack, first[2]);
    for (IUnknown* object : first) object->Release();
}

}  // namespace
