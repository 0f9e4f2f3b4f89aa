// Each failing call is reported with its name and site, then the whole state
// is released and the operation fails.
#include <gmock/gmock.h>

#include "tests/Direct3d/RendalTestSupport.h"

namespace {

enum class Stage { Display, Device, Viewport, Render, Flip, Text };

struct Site {
    DxCall call;
    int skip;
    HRESULT code;
    const char* name;
    Stage stage;
    int line;
};

void PrintTo(const Site& site, std::ostream* os) {
    *os << "site " << site.line;
}

const Site kSites[] = {
    {DxCall::DirectDrawCreate, 0, DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY", Stage::Display, 438},
    {DxCall::DirectDraw_SetCooperativeLevel, 0, DDERR_NOHWND, "DDERR_NOHWND", Stage::Display, 466},
    {DxCall::DirectDraw_CreateSurface, 0, DDERR_PRIMARYSURFACEALREADYEXISTS,
     "DDERR_PRIMARYSURFACEALREADYEXISTS", Stage::Display, 476},
    {DxCall::DirectDraw_CreateSurface, 1, DDERR_OUTOFVIDEOMEMORY, "DDERR_OUTOFVIDEOMEMORY", Stage::Display,
     490},
    {DxCall::DirectDraw_CreateClipper, 0, DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS", Stage::Display, 494},
    {DxCall::Clipper_SetHWnd, 0, DDERR_NOCLIPLIST, "DDERR_NOCLIPLIST", Stage::Display, 495},
    {DxCall::Surface_SetClipper, 0, DDERR_NOCLIPPERATTACHED, "DDERR_NOCLIPPERATTACHED", Stage::Display, 496},
    {DxCall::RM_CreateDeviceFromD3D, 0, D3DRMERR_BADDEVICE, "D3DRMERR_BADDEVICE", Stage::Device, 784},
    {DxCall::RM_CreateViewport, 0, D3DRMERR_BADOBJECT, "D3DRMERR_BADOBJECT", Stage::Viewport, 1269},
    {DxCall::Viewport_SetBack, 0, D3DRMERR_BADVALUE, "D3DRMERR_BADVALUE", Stage::Viewport, 1273},
    {DxCall::Viewport_Clear, 0, D3DRMERR_NOTDONEYET, "D3DRMERR_NOTDONEYET", Stage::Render, 1241},
    {DxCall::Viewport_Render, 0, D3DRMERR_UNABLETOEXECUTE, "D3DRMERR_UNABLETOEXECUTE", Stage::Render, 1242},
    {DxCall::Device_Update, 0, D3DRMERR_BADALLOC, "D3DRMERR_BADALLOC", Stage::Render, 1243},
    {DxCall::Surface_Blt, 0, DDERR_SURFACELOST, "DDERR_SURFACELOST", Stage::Flip, 1219},
    {DxCall::Surface_Lock, 0, DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY", Stage::Text, 1230},
};

class RendalSiteTest : public RendalTest, public testing::WithParamInterface<Site> {
protected:
    // Brings the layer up to just before the stage under test.
    void Prepare(Stage stage) {
        OpenWindow(0, 0, 200, 150);
        if (stage == Stage::Display) return;
        if (stage == Stage::Device) {
            Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });
            return;
        }
        StartLayer();
        ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(nullptr, &scene_), D3DRM_OK);
        ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(scene_, &camera_), D3DRM_OK);
        if (stage == Stage::Viewport) return;
        Captured([&] { ASSERT_EQ(RZXViewport(camera_), 1); });
        RZXSetActive(1);
    }

    int Run(Stage stage) {
        switch (stage) {
            case Stage::Display:
                return CreateDirectDrawWin(window_);
            case Stage::Device:
                return RZXCreate();
            case Stage::Viewport:
                return RZXViewport(camera_);
            case Stage::Render:
                return RZXRender(scene_);
            case Stage::Flip:
                return RZXFlip();
            case Stage::Text:
                return RZXCornerText("1");
        }
        return -1;
    }
};

TEST_P(RendalSiteTest, ReportsReleasesAndFails) {
    const Site& site = GetParam();
    ASSERT_NO_FATAL_FAILURE(Prepare(site.stage));
    DxFault::FailCall(site.call, site.code, site.skip);

    int result = -1;
    std::string out = Captured([&] { result = Run(site.stage); });

    bool directDraw = site.line < 700 || site.line == 1219 || site.line == 1230;
    std::string report = std::string(directDraw ? "DirectDraw Error " : "Direct3D-RM Error : ") + site.name +
                         "\nin file C:\\myproject\\Direct3d\\Rendal at line " + std::to_string(site.line) +
                         "\n";
    EXPECT_THAT(out, testing::EndsWith(report + "RZX:Rendal Cleanup\n"));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(RZXState.active, 0);
}

INSTANTIATE_TEST_SUITE_P(Sites, RendalSiteTest, testing::ValuesIn(kSites),
                         [](const testing::TestParamInfo<Site>& info) {
                             return std::to_string(info.param.line);
                         });

// Failures of the 3D side that carry no site number.
struct Unreported {
    const char* what;
    DxCall call;
    const char* tail;
};

void PrintTo(const Unreported& u, std::ostream* os) {
    *os << u.what;
}

const Unreported kUnreported[] = {
    {"Direct3DRMCreate", DxCall::Direct3DRMCreate, "RZX:CreateD3DRM\nRZX:Rendal Cleanup\n"},
    {"IDirect3DRM2 query", DxCall::RM_QueryDirect3DRM2, "RZX:CreateD3DRM\nRZX:Rendal Cleanup\n"},
    {"IDirect3D2 query", DxCall::DirectDraw_QueryDirect3D2,
     "RZX:CreateD3DRM\nRZX:Error:Failed to QI Direct3D2 from DirectDraw\nRZX:Rendal Cleanup\n"
     "RZX:Error:Fail to Direct3D create \n "},
    // The z-buffer is the first surface RZXCreate makes; without it there is
    // nothing to attach.
    {"z-buffer creation", DxCall::DirectDraw_CreateSurface,
     "RZX:DeviceGuid 0\nRZX:Rendal Cleanup\nRZX:Error:Fail to Direct3D create \n "},
    {"z-buffer attachment", DxCall::Surface_AddAttachedSurface,
     "RZX:DeviceGuid 0\nRZX:Rendal Cleanup\nRZX:Error:Fail to Direct3D create \n "},
};

class RendalUnreportedTest : public RendalTest, public testing::WithParamInterface<Unreported> {};

TEST_P(RendalUnreportedTest, ReleasesEverythingAndFails) {
    OpenWindow(0, 0, 200, 150);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });
    DxFault::FailCall(GetParam().call, DDERR_GENERIC);

    int result = -1;
    std::string out = Captured([&] { result = RZXCreate(); });

    EXPECT_THAT(out, testing::EndsWith(GetParam().tail));
    EXPECT_THAT(out, testing::Not(testing::HasSubstr("Error ")));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(RZXState.active, 0);
}

INSTANTIATE_TEST_SUITE_P(Creation, RendalUnreportedTest, testing::ValuesIn(kUnreported));

}  // namespace
