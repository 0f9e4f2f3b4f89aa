#include <cmath>
#include <functional>
#include <string>

#include "ScreenSaver/BoxShape.h"
#include "tests/Platform/DirectX/RetainedMode/RenderFixture.h"

namespace {

// The screensaver's box, four corners of their own a face, the whole
// texture on each.
void AddBox(IDirect3DRM2* rm, IDirect3DRMFrame* frame, IDirect3DRMTexture* texture) {
    const auto& faces = box_shape::kBoxFaces;
    const auto& uv = box_shape::kCornerUV;
    IDirect3DRMMeshBuilder2* builder = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
    for (DWORD f = 0; f < 6; ++f) {
        IDirect3DRMFace* face = nullptr;
        ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
        for (const box_shape::Corner& c : faces[f].corners) builder->AddVertex(c.x, c.y, c.z);
        builder->AddNormal(faces[f].normal.x, faces[f].normal.y, faces[f].normal.z);
        ASSERT_EQ(face->SetTexture(texture), D3DRM_OK);
        for (DWORD k = 0; k < 4; ++k) {
            ASSERT_EQ(face->AddVertexAndNormalIndexed(4 * f + k, f), D3DRM_OK);
            ASSERT_EQ(face->SetTextureCoordinates(k, uv[k][0], uv[k][1]), D3DRM_OK);
        }
        face->Release();
    }
    ASSERT_EQ(builder->SetColor(0xFFFFFFFFu), D3DRM_OK);
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder->CreateMesh(&mesh), D3DRM_OK);
    ASSERT_EQ(frame->AddVisual(mesh), D3DRM_OK);
    mesh->Release();
    builder->Release();
}

IDirect3DRMTexture2* Gradient(IDirect3DRM2* rm) {
    std::vector<std::uint32_t> texels(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texels[y * 64 + x] = static_cast<std::uint32_t>(x * 4) << 16 |
                                 static_cast<std::uint32_t>(y * 4) << 8 |
                                 static_cast<std::uint32_t>((x ^ y) * 4);
    D3DRMIMAGE image{64, 64, 1, 1, 32, TRUE, 256, texels.data(), nullptr, 0xFF0000u, 0xFF00u, 0xFFu, 0};
    IDirect3DRMTexture2* texture = nullptr;
    EXPECT_EQ(rm->CreateTexture(&image, &texture), D3DRM_OK);
    return texture;
}

class BoxSceneTest : public RenderTest {
protected:
    // The box turned off its axes, lit as the screensaver lights it.
    void BuildBox() {
        AddLights(0.1f, 0.9f, {0, 0, 1});
        IDirect3DRMFrame2* box = NewFrame(scene);
        ASSERT_EQ(box->SetPosition(scene, 1.0f, 0.5f, 12.0f), D3DRM_OK);
        ASSERT_EQ(box->SetRotation(scene, 1, 1, 1, 0.3f), D3DRM_OK);
        ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
        IDirect3DRMTexture2* texture = Gradient(rm);
        AddBox(rm, box, texture);
        texture->Release();
        box->Release();
    }
};

TEST_F(BoxSceneTest, MmxAndRampDevicesDrawTheSamePicture) {
    BuildBox();
    std::vector<std::uint32_t> pictures[2];
    const GUID* kinds[2] = {&IID_IDirect3DRampDevice, &IID_IDirect3DMMXDevice};
    for (int i = 0; i < 2; ++i) {
        MakeDevice(*kinds[i], D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR);
        RenderScene();
        pictures[i] = Picture();
    }
    int covered = 0, apart = 0;
    for (std::size_t i = 0; i < pictures[0].size(); ++i) {
        covered += pictures[0][i] != 0;
        apart += !Near(pictures[0][i], pictures[1][i]);
    }
    EXPECT_GT(covered, 10000);
    EXPECT_EQ(apart, 0);
}

TEST_F(BoxSceneTest, RenderingAgainDrawsTheSamePicture) {
    BuildBox();
    MakeDevice(IID_IDirect3DRampDevice, D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR);
    RenderScene();
    const std::vector<std::uint32_t> first = Picture();
    RenderScene();
    EXPECT_EQ(Picture(), first);
}

TEST_F(RenderTest, TurnedFrameTurnsItsNormals) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(0.1f, 0.9f, {0, 0, 1});
    IDirect3DRMFrame2* frame = NewFrame(scene);
    ASSERT_EQ(frame->SetPosition(scene, 0, 0, 4), D3DRM_OK);
    // Turned 60 degrees about +y: the square's normal meets the light at 60.
    ASSERT_EQ(frame->SetOrientation(scene, std::sqrt(3.0f) / 2, 0, 0.5f, 0, 1, 0), D3DRM_OK);
    IDirect3DRMMeshBuilder2* builder = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
    IDirect3DRMFace* face = nullptr;
    ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
    for (const D3DVECTOR& c :
         {D3DVECTOR{1, 1, 0}, D3DVECTOR{1, -1, 0}, D3DVECTOR{-1, -1, 0}, D3DVECTOR{-1, 1, 0}})
        builder->AddVertex(c.x, c.y, c.z);
    builder->AddNormal(0, 0, -1);
    for (DWORD k = 0; k < 4; ++k) ASSERT_EQ(face->AddVertexAndNormalIndexed(k, 0), D3DRM_OK);
    face->Release();
    ASSERT_EQ(frame->AddVisual(builder), D3DRM_OK);
    builder->Release();
    frame->Release();
    RenderScene();
    EXPECT_TRUE(Near(Pixel(320, 240), 0x8C8C8C)) << std::hex << Pixel(320, 240);
}

constexpr HRESULT kArmed = D3DRMERR_NOTDONEYET;

struct FaultCase {
    const char* name;
    DxCall call;
    // Makes the call and checks that it left everything as it was.
    std::function<HRESULT(RenderTest&)> act;

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

class FaultTest : public RenderTest, public ::testing::WithParamInterface<FaultCase> {
public:
    using RenderTest::camera;
    using RenderTest::d3d;
    using RenderTest::d3dDevice;
    using RenderTest::device;
    using RenderTest::NewFrame;
    using RenderTest::Pixel;
    using RenderTest::rm;
    using RenderTest::scene;
    using RenderTest::viewport;
};

TEST_P(FaultTest, ArmedCallFailsWithItsCodeAndNoEffect) {
    MakeDevice(IID_IDirect3DRampDevice);
    AddLights(1.0f, 0.0f, {0, 0, 1});
    AddSquare(4.0f, 0.5f, 0xFFFFFFFF);
    RenderScene();
    ASSERT_EQ(viewport->ForceUpdate(0, 0, 10, 10), D3DRM_OK);
    DxFault::FailCall(GetParam().call, kArmed);
    EXPECT_EQ(GetParam().act(*this), kArmed);
    EXPECT_GT(DxFault::CallCount(GetParam().call), 0);
}

template <class T>
HRESULT Expect(HRESULT result, T* out) {
    EXPECT_EQ(out, nullptr);
    return result;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FaultTest,
    ::testing::Values(
        FaultCase{"Create", DxCall::Direct3DRMCreate,
                  [](RenderTest&) {
                      IDirect3DRM* out = nullptr;
                      return Expect(Direct3DRMCreate(&out), out);
                  }},
        FaultCase{"Query", DxCall::RM_QueryDirect3DRM2,
                  [](RenderTest& t) {
                      void* out = nullptr;
                      return Expect(static_cast<FaultTest&>(t).rm->QueryInterface(IID_IDirect3DRM2, &out),
                                    out);
                  }},
        FaultCase{"CreateFrame", DxCall::RM_CreateFrame,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      IDirect3DRMFrame2* out = nullptr;
                      const HRESULT result = f.rm->CreateFrame(f.scene, &out);
                      IDirect3DRMFrameArray* children = nullptr;
                      EXPECT_EQ(f.scene->GetChildren(&children), D3DRM_OK);
                      EXPECT_EQ(children->GetSize(), 3u);  // camera, light, square
                      children->Release();
                      return Expect(result, out);
                  }},
        FaultCase{"CreateLight", DxCall::RM_CreateLightRGB,
                  [](RenderTest& t) {
                      IDirect3DRMLight* out = nullptr;
                      return Expect(
                          static_cast<FaultTest&>(t).rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 1, 1, 1, &out),
                          out);
                  }},
        FaultCase{"CreateMeshBuilder", DxCall::RM_CreateMeshBuilder,
                  [](RenderTest& t) {
                      IDirect3DRMMeshBuilder2* out = nullptr;
                      return Expect(static_cast<FaultTest&>(t).rm->CreateMeshBuilder(&out), out);
                  }},
        FaultCase{"CreateDevice", DxCall::RM_CreateDeviceFromD3D,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      IDirect3DRMDevice2* out = nullptr;
                      return Expect(f.rm->CreateDeviceFromD3D(f.d3d, f.d3dDevice, &out), out);
                  }},
        FaultCase{"CreateViewport", DxCall::RM_CreateViewport,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      IDirect3DRMViewport* out = nullptr;
                      return Expect(f.rm->CreateViewport(f.device, f.camera, 0, 0, 10, 10, &out), out);
                  }},
        FaultCase{"SetBack", DxCall::Viewport_SetBack,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      const HRESULT result = f.viewport->SetBack(300.0f);
                      EXPECT_EQ(f.viewport->GetBack(), 100.0f);
                      return result;
                  }},
        FaultCase{"Clear", DxCall::Viewport_Clear,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      const HRESULT result = f.viewport->Clear();
                      EXPECT_NE(f.Pixel(320, 240), 0u);
                      return result;
                  }},
        FaultCase{"Render", DxCall::Viewport_Render,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      EXPECT_EQ(f.viewport->Clear(), D3DRM_OK);
                      const HRESULT result = f.viewport->Render(f.scene);
                      EXPECT_EQ(f.Pixel(320, 240), 0u);
                      return result;
                  }},
        FaultCase{"Update", DxCall::Device_Update,
                  [](RenderTest& t) { return static_cast<FaultTest&>(t).device->Update(); }},
        FaultCase{"ForceUpdate", DxCall::Viewport_ForceUpdate,
                  [](RenderTest& t) {
                      const HRESULT result = static_cast<FaultTest&>(t).viewport->ForceUpdate(1, 2, 3, 4);
                      EXPECT_EQ(DxFault::LastForceUpdate().x2, 10u);
                      return result;
                  }},
        FaultCase{"Move", DxCall::Frame_Move,
                  [](RenderTest& t) {
                      auto& f = static_cast<FaultTest&>(t);
                      EXPECT_EQ(f.camera->SetVelocity(f.scene, 1, 0, 0, FALSE), D3DRM_OK);
                      const HRESULT result = f.scene->Move(1.0f);
                      D3DVECTOR p;
                      EXPECT_EQ(f.camera->GetPosition(f.scene, &p), D3DRM_OK);
                      EXPECT_EQ(p.x, 0.0f);
                      return result;
                  }}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(RenderTest, ForceUpdateRecordsItsRectangle) {
    MakeDevice(IID_IDirect3DRampDevice);
    ASSERT_EQ(viewport->ForceUpdate(0, 0, kWidth, kHeight), D3DRM_OK);
    const DxFault::UpdateRect rect = DxFault::LastForceUpdate();
    EXPECT_EQ(rect.x1, 0u);
    EXPECT_EQ(rect.y1, 0u);
    EXPECT_EQ(rect.x2, kWidth);
    EXPECT_EQ(rect.y2, kHeight);
    EXPECT_EQ(viewport->ForceUpdate(0, 0, kWidth + 1, kHeight), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->ForceUpdate(5, 0, 4, kHeight), D3DRMERR_BADVALUE);
}

}  // namespace
