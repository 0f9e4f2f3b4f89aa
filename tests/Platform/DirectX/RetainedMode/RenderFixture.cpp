#include "tests/Platform/DirectX/RetainedMode/RenderFixture.h"

#include <cstdlib>
#include <cstring>

void RenderTest::SetUp() {
    RetainedModeTest::SetUp();
    DxFault::PretendDisplayDepth(32);
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(dd->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d)), S_OK);
    scene = NewFrame(nullptr);
    camera = NewFrame(scene);
}

void RenderTest::TearDown() {
    ReleaseDevice();
    if (camera != nullptr) camera->Release();
    if (scene != nullptr) scene->Release();
    if (d3d != nullptr) d3d->Release();
    if (dd != nullptr) dd->Release();
    RetainedModeTest::TearDown();
}

void RenderTest::MakeDevice(const GUID& kind, D3DRMRENDERQUALITY quality, D3DRMTEXTUREQUALITY filter, DWORD x,
                            DWORD y, DWORD width, DWORD height) {
    ReleaseDevice();
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
    ASSERT_EQ(dd->CreateSurface(&desc, &back, nullptr), DD_OK);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.dwZBufferBitDepth = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* zbuffer = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &zbuffer, nullptr), DD_OK);
    ASSERT_EQ(back->AddAttachedSurface(zbuffer), DD_OK);
    zbuffer->Release();
    ASSERT_EQ(d3d->CreateDevice(kind, back, &d3dDevice), DD_OK);
    ASSERT_EQ(rm->CreateDeviceFromD3D(d3d, d3dDevice, &device), D3DRM_OK);
    ASSERT_EQ(device->SetQuality(quality), D3DRM_OK);
    ASSERT_EQ(device->SetTextureQuality(filter), D3DRM_OK);
    ASSERT_EQ(rm->CreateViewport(device, camera, x, y, width, height, &viewport), D3DRM_OK);
}

void RenderTest::ReleaseDevice() {
    for (IUnknown** object :
         {reinterpret_cast<IUnknown**>(&viewport), reinterpret_cast<IUnknown**>(&device),
          reinterpret_cast<IUnknown**>(&d3dDevice), reinterpret_cast<IUnknown**>(&back)}) {
        if (*object != nullptr) (*object)->Release();
        *object = nullptr;
    }
}

void RenderTest::AddLights(float ambient, float directional, D3DVECTOR direction, D3DVECTOR rgb) {
    IDirect3DRMLight* light = nullptr;
    ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, ambient, ambient, ambient, &light), D3DRM_OK);
    ASSERT_EQ(scene->AddLight(light), D3DRM_OK);
    light->Release();
    IDirect3DRMFrame2* lightFrame = NewFrame(scene);
    const bool vertical = direction.x == 0 && direction.z == 0;
    ASSERT_EQ(lightFrame->SetOrientation(scene, direction.x, direction.y, direction.z, 0, vertical ? 0 : 1,
                                         vertical ? 1 : 0),
              D3DRM_OK);
    ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, directional * rgb.x, directional * rgb.y,
                                 directional * rgb.z, &light),
              D3DRM_OK);
    ASSERT_EQ(lightFrame->AddLight(light), D3DRM_OK);
    light->Release();
    lightFrame->Release();
}

void RenderTest::AddFace(const std::vector<D3DVECTOR>& corners, D3DVECTOR normal, D3DCOLOR color,
                         IDirect3DRMTexture* texture, const std::vector<D3DVECTOR>& uv) {
    IDirect3DRMMeshBuilder2* builder = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
    IDirect3DRMFace* face = nullptr;
    ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
    for (const D3DVECTOR& c : corners) builder->AddVertex(c.x, c.y, c.z);
    builder->AddNormal(normal.x, normal.y, normal.z);
    ASSERT_EQ(face->SetTexture(texture), D3DRM_OK);
    for (DWORD k = 0; k < corners.size(); ++k) {
        ASSERT_EQ(face->AddVertexAndNormalIndexed(k, 0), D3DRM_OK);
        const D3DVECTOR at = k < uv.size() ? uv[k] : D3DVECTOR{0, 0, 0};
        ASSERT_EQ(face->SetTextureCoordinates(k, at.x, at.y), D3DRM_OK);
    }
    face->Release();
    ASSERT_EQ(builder->SetColor(color), D3DRM_OK);
    IDirect3DRMMesh* mesh = nullptr;
    ASSERT_EQ(builder->CreateMesh(&mesh), D3DRM_OK);
    IDirect3DRMFrame2* frame = NewFrame(scene);
    ASSERT_EQ(frame->AddVisual(mesh), D3DRM_OK);
    frame->Release();
    mesh->Release();
    builder->Release();
}

void RenderTest::AddSquare(float z, float half, D3DCOLOR color, IDirect3DRMTexture* texture, bool away) {
    std::vector<D3DVECTOR> corners = {{half, half, z}, {half, -half, z}, {-half, -half, z}, {-half, half, z}};
    std::vector<D3DVECTOR> uv = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    if (away) {
        std::swap(corners[1], corners[3]);
        std::swap(uv[1], uv[3]);
    }
    AddFace(corners, {0, 0, -1}, color, texture, uv);
}

void RenderTest::RenderScene() {
    ASSERT_EQ(viewport->Clear(), D3DRM_OK);
    ASSERT_EQ(viewport->Render(scene), D3DRM_OK);
    ASSERT_EQ(device->Update(), D3DRM_OK);
}

std::uint32_t RenderTest::Pixel(int x, int y) {
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    std::uint32_t pixel;
    std::memcpy(&pixel, static_cast<const std::uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4, 4);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    return pixel & 0x00FFFFFFu;
}

std::vector<std::uint32_t> RenderTest::Picture() {
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(desc.dwWidth) * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        std::memcpy(picture.data() + y * desc.dwWidth,
                    static_cast<const std::uint8_t*>(desc.lpSurface) + y * desc.lPitch, desc.dwWidth * 4);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    for (std::uint32_t& pixel : picture) pixel &= 0x00FFFFFFu;
    return picture;
}

void RenderTest::FillSurface(std::uint32_t xrgb) {
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            std::memcpy(static_cast<std::uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4, &xrgb, 4);
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}
