#include <cmath>
#include <string>

#include "tests/Platform/DirectX/RetainedMode/RenderFixture.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

IDirect3DRMTexture2* Quadrants(IDirect3DRM2* rm) {
    std::uint32_t texels[4] = {kRed, kGreen, kBlue, kWhite};
    D3DRMIMAGE image{2, 2, 1, 1, 32, TRUE, 8, texels, nullptr, 0xFF0000u, 0xFF00u, 0xFFu, 0};
    IDirect3DRMTexture2* texture = nullptr;
    EXPECT_EQ(rm->CreateTexture(&image, &texture), D3DRM_OK);
    return texture;
}

TEST_F(RenderTest, SquareLandsWhereTheProjectionPutsIt) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(0.1f, 0.9f, {0, 0, 1});
    IDirect3DRMTexture2* texture = Quadrants(rm);
    // Half-side 0.5 at distance 4: front 1 and field 0.5 across the larger
    // side (640) give 640 pixels per unit of x / z, so +-80 pixels about the
    // centre (320, 240).
    AddSquare(4.0f, 0.5f, 0xFFFFFFFFu, texture);
    texture->Release();
    RenderScene();
    struct Probe {
        int x, y;
        bool inside;
    };
    for (const Probe& p :
         {Probe{240, 240, true}, Probe{239, 240, false}, Probe{399, 240, true}, Probe{400, 240, false},
          Probe{320, 160, true}, Probe{320, 159, false}, Probe{320, 319, true}, Probe{320, 320, false}})
        EXPECT_EQ(Pixel(p.x, p.y) != 0, p.inside) << p.x << ", " << p.y;
    // Lit by 0.1 + 0.9: the texels at full strength. The image's top-left
    // texel lies at the square's top-right corner as the camera sees it.
    EXPECT_TRUE(Near(Pixel(360, 200), kRed)) << std::hex << Pixel(360, 200);
    EXPECT_TRUE(Near(Pixel(360, 280), kGreen)) << std::hex << Pixel(360, 280);
    EXPECT_TRUE(Near(Pixel(280, 280), kWhite)) << std::hex << Pixel(280, 280);
    EXPECT_TRUE(Near(Pixel(280, 200), kBlue)) << std::hex << Pixel(280, 200);
    EXPECT_EQ(Pixel(10, 10), 0u);
}

struct LightCase {
    const char* name;
    D3DVECTOR direction;
    D3DVECTOR rgb;
    D3DCOLOR faceColor;
    std::uint32_t expected;

    friend void PrintTo(const LightCase& c, std::ostream* os) { *os << c.name; }
};

class LightingTest : public RenderTest, public ::testing::WithParamInterface<LightCase> {};

TEST_P(LightingTest, AmbientPlusLambertTimesFaceColour) {
    const LightCase& c = GetParam();
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(0.1f, 0.9f, c.direction, c.rgb);
    AddSquare(4.0f, 0.5f, c.faceColor);
    RenderScene();
    EXPECT_TRUE(Near(Pixel(320, 240), c.expected)) << std::hex << Pixel(320, 240) << " for " << c.expected;
}

const float kSin60 = std::sqrt(3.0f) / 2;
INSTANTIATE_TEST_SUITE_P(
    Lights, LightingTest,
    ::testing::Values(LightCase{"Facing", {0, 0, 1}, {1, 1, 1}, 0xFFFFFFFF, 0xFFFFFF},
                      LightCase{"EdgeOn", {1, 0, 0}, {1, 1, 1}, 0xFFFFFFFF, 0x191919},
                      LightCase{"FromBehind", {0, 0, -1}, {1, 1, 1}, 0xFFFFFFFF, 0x191919},
                      LightCase{"SixtyDegrees", {kSin60, 0, 0.5f}, {1, 1, 1}, 0xFFFFFFFF, 0x8C8C8C},
                      LightCase{"SixtyDegreesAbove", {0, -kSin60, 0.5f}, {1, 1, 1}, 0xFFFFFFFF, 0x8C8C8C},
                      LightCase{"GreyFace", {0, 0, 1}, {1, 1, 1}, 0xFF808080, 0x808080},
                      LightCase{"RedLight", {0, 0, 1}, {1, 0, 0}, 0xFFFFFFFF, 0xFF1919},
                      LightCase{"RedLightOnBlueFace", {0, 0, 1}, {1, 0, 0}, 0xFF0000FF, 0x000019}),
    [](const ::testing::TestParamInfo<LightCase>& info) { return std::string(info.param.name); });

TEST_F(RenderTest, FaceTurnedAwayIsNotDrawn) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(0.1f, 0.9f, {0, 0, 1});
    AddSquare(4.0f, 0.5f, 0xFFFFFFFF, nullptr, true);
    RenderScene();
    EXPECT_EQ(Pixel(320, 240), 0u);
}

class DepthOrderTest : public RenderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DepthOrderTest, NearerFaceWinsInEitherOrder) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    if (GetParam()) AddSquare(4.0f, 0.5f, 0xFFFF0000);
    AddSquare(6.0f, 1.5f, 0xFF00FF00);
    if (!GetParam()) AddSquare(4.0f, 0.5f, 0xFFFF0000);
    RenderScene();
    EXPECT_TRUE(Near(Pixel(320, 240), kRed)) << std::hex << Pixel(320, 240);
    EXPECT_TRUE(Near(Pixel(320, 100), kGreen)) << std::hex << Pixel(320, 100);
}

INSTANTIATE_TEST_SUITE_P(Orders, DepthOrderTest, ::testing::Bool());

struct ClipCase {
    const char* name;
    float z;
    float back;
    bool drawn;

    friend void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }
};

class PlaneClipTest : public RenderTest, public ::testing::WithParamInterface<ClipCase> {};

TEST_P(PlaneClipTest, OnlyWhatLiesBetweenTheFrontAndBackPlanesIsDrawn) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    ASSERT_EQ(viewport->SetBack(GetParam().back), D3DRM_OK);
    AddSquare(GetParam().z, 0.05f * GetParam().z, 0xFFFFFFFF);
    RenderScene();
    EXPECT_EQ(Pixel(320, 240) != 0, GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Planes, PlaneClipTest,
    ::testing::Values(ClipCase{"BeforeFront", 0.5f, 100, false}, ClipCase{"JustBehindFront", 1.5f, 100, true},
                      ClipCase{"BeforeBack", 90, 100, true}, ClipCase{"BeyondBack", 150, 100, false},
                      ClipCase{"BackMovedOut", 150, 5000, true}),
    [](const ::testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

TEST_F(RenderTest, FloorRunningBehindTheCameraIsCutAtTheFrontPlane) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    // y = -1 from z = -5 (behind the camera) to z = 10, facing up.
    AddFace({{1, -1, 10}, {1, -1, -5}, {-1, -1, -5}, {-1, -1, 10}}, {0, 1, 0});
    RenderScene();
    // Its far edge lies 64 pixels below the centre; nearer parts fill the
    // bottom of the picture, and nothing reaches above the horizon.
    EXPECT_NE(Pixel(320, 470), 0u);
    EXPECT_NE(Pixel(320, 306), 0u);
    EXPECT_EQ(Pixel(320, 302), 0u);
    EXPECT_EQ(Pixel(320, 10), 0u);
    EXPECT_EQ(Pixel(5, 240), 0u);
}

TEST_F(RenderTest, FlatShadingGivesTheFaceItsFirstCornersColour) {
    for (D3DRMRENDERQUALITY quality : {D3DRMRENDER_FLAT, D3DRMRENDER_GOURAUD}) {
        MakeDevice(IID_IDirect3DRampDevice, quality);
        IDirect3DRMMeshBuilder2* builder = nullptr;
        ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
        IDirect3DRMFace* face = nullptr;
        ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
        const float z = 4.0f, h = 0.5f;
        for (const D3DVECTOR& c : {D3DVECTOR{h, h, z}, D3DVECTOR{h, -h, z}, D3DVECTOR{-h, -h, z}})
            builder->AddVertex(c.x, c.y, c.z);
        builder->AddNormal(0, 0, -1);  // lit fully by a light along +z
        builder->AddNormal(1, 0, 0);   // edge-on
        for (DWORD k = 0; k < 3; ++k) ASSERT_EQ(face->AddVertexAndNormalIndexed(k, k == 0 ? 0 : 1), D3DRM_OK);
        face->Release();
        IDirect3DRMFrame2* frame = NewFrame(scene);
        ASSERT_EQ(frame->AddVisual(builder), D3DRM_OK);  // a builder is a visual too
        frame->Release();
        builder->Release();
        if (quality == D3DRMRENDER_FLAT) AddLights(0.0f, 1.0f, {0, 0, 1});
        RenderScene();
        // Near the second and third corners.
        const std::uint32_t far = Pixel(330, 310);
        if (quality == D3DRMRENDER_FLAT) {
            EXPECT_TRUE(Near(far, kWhite)) << std::hex << far;
        } else {
            EXPECT_LT(far & 0xFF, 0x40u) << std::hex << far;
        }
    }
}

TEST_F(RenderTest, ViewportCoversOnlyItsRectangle) {
    MakeDevice(IID_IDirect3DRampDevice, D3DRMRENDER_GOURAUD, D3DRMTEXTURE_NEAREST, 100, 50, 200, 100);
    EXPECT_EQ(viewport->GetWidth(), 200u);
    EXPECT_EQ(viewport->GetHeight(), 100u);
    FillSurface(0x123456);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    AddSquare(4.0f, 0.5f, 0xFFFFFFFF);
    RenderScene();
    // 200 wide: 200 pixels per unit of x / z, so +-25 about (200, 100).
    EXPECT_TRUE(Near(Pixel(200, 100), kWhite));
    EXPECT_TRUE(Near(Pixel(175, 76), kWhite));
    EXPECT_EQ(Pixel(174, 100), 0u);
    EXPECT_EQ(Pixel(101, 51), 0u);
    EXPECT_EQ(Pixel(99, 100), 0x123456u);
    EXPECT_EQ(Pixel(200, 49), 0x123456u);
    EXPECT_EQ(Pixel(300, 100), 0x123456u);
    EXPECT_EQ(Pixel(200, 150), 0x123456u);
}

TEST_F(RenderTest, ViewportMustLieInsideTheDevice) {
    MakeDevice(IID_IDirect3DRampDevice);
    IDirect3DRMViewport* other = nullptr;
    EXPECT_EQ(rm->CreateViewport(device, camera, 1, 0, kWidth, kHeight, &other), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateViewport(device, camera, 0, 0, 0, kHeight, &other), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateViewport(device, camera, 0, 0xFFFFFFFFu, 10, 10, &other), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateViewport(nullptr, camera, 0, 0, 10, 10, &other), D3DRMERR_BADDEVICE);
    EXPECT_EQ(rm->CreateViewport(device, nullptr, 0, 0, 10, 10, &other), D3DRMERR_BADOBJECT);
    EXPECT_EQ(other, nullptr);
}

TEST_F(RenderTest, ProjectionSettingsKeepTheirOrder) {
    MakeDevice(IID_IDirect3DRampDevice);
    EXPECT_EQ(viewport->GetFront(), 1.0f);
    EXPECT_EQ(viewport->GetBack(), 100.0f);
    EXPECT_EQ(viewport->GetField(), 0.5f);
    EXPECT_EQ(viewport->SetBack(5000.0f), D3DRM_OK);
    EXPECT_EQ(viewport->SetBack(1.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetFront(0.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetFront(5000.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetField(-0.5f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetField(NAN), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->GetBack(), 5000.0f);
    EXPECT_EQ(viewport->GetFront(), 1.0f);
    EXPECT_EQ(viewport->GetField(), 0.5f);
}

TEST_F(RenderTest, DeviceSettingsReadBack) {
    MakeDevice(IID_IDirect3DRampDevice);
    EXPECT_EQ(device->GetWidth(), kWidth);
    EXPECT_EQ(device->GetHeight(), kHeight);
    EXPECT_EQ(device->SetBufferCount(2), D3DRM_OK);
    EXPECT_EQ(device->SetDither(FALSE), D3DRM_OK);
    EXPECT_EQ(device->SetShades(8), D3DRM_OK);
    EXPECT_EQ(device->SetQuality(D3DRMRENDER_FLAT), D3DRM_OK);
    EXPECT_EQ(device->SetTextureQuality(D3DRMTEXTURE_LINEAR), D3DRM_OK);
    EXPECT_EQ(device->SetQuality(0x40), D3DRMERR_BADVALUE);
    EXPECT_EQ(device->SetShades(12), D3DRMERR_BADVALUE);
    EXPECT_EQ(device->SetBufferCount(0), D3DRMERR_BADVALUE);
    EXPECT_EQ(device->GetBufferCount(), 2u);
    EXPECT_EQ(device->GetDither(), FALSE);
    EXPECT_EQ(device->GetShades(), 8u);
    EXPECT_EQ(device->GetQuality(), D3DRMRENDER_FLAT);
    EXPECT_EQ(device->GetTextureQuality(), D3DRMTEXTURE_LINEAR);
    EXPECT_EQ(rm->SetDefaultTextureColors(64), D3DRM_OK);
    EXPECT_EQ(rm->SetDefaultTextureShades(32), D3DRM_OK);
    EXPECT_EQ(rm->SetDefaultTextureShades(33), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->GetDefaultTextureColors(), 64u);
    EXPECT_EQ(rm->GetDefaultTextureShades(), 32u);
    IDirect3DDevice2* under = nullptr;
    ASSERT_EQ(device->GetDirect3DDevice2(&under), D3DRM_OK);
    EXPECT_EQ(under, d3dDevice);
    under->Release();
    IDirect3DRMFrame* seen = nullptr;
    ASSERT_EQ(viewport->GetCamera(&seen), D3DRM_OK);
    EXPECT_EQ(seen, static_cast<IDirect3DRMFrame*>(camera));
    seen->Release();
}

TEST_F(RenderTest, CameraPlacementMovesThePicture) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    AddSquare(4.0f, 0.5f, 0xFFFFFFFF);
    // One unit to the right: the square appears 160 pixels to the left.
    ASSERT_EQ(camera->SetPosition(scene, 1.0f, 0.0f, 0.0f), D3DRM_OK);
    RenderScene();
    EXPECT_NE(Pixel(160, 240), 0u);
    EXPECT_EQ(Pixel(320, 240), 0u);
    // Turned to look back along -z, it sees the square's back: nothing.
    ASSERT_EQ(camera->SetPosition(scene, 0.0f, 0.0f, 8.0f), D3DRM_OK);
    ASSERT_EQ(camera->SetOrientation(scene, 0, 0, -1, 0, 1, 0), D3DRM_OK);
    RenderScene();
    EXPECT_EQ(Pixel(320, 240), 0u);
}

}  // namespace
