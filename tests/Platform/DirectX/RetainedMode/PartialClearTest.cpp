// Clearing only what was drawn and presenting only what changed give the
// same screen as clearing and copying everything: a scene moving over many
// frames through one device, whose viewport clears partially and whose back
// surface is presented by damage, against a reference device whose surface
// is locked whole before every frame (which forces full clears and full
// copies).
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "tests/Platform/DirectX/RetainedMode/RetainedModeFixture.h"

namespace {

constexpr DWORD kWidth = 160;
constexpr DWORD kHeight = 120;
constexpr int kScreenWidth = 200;
constexpr int kScreenHeight = 150;
constexpr LONG kAtX = 30;  // where the tested surface is presented
constexpr LONG kAtY = 20;
constexpr int kFrames = 24;

struct Pair {
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* zbuffer = nullptr;
    IDirect3DDevice2* d3dDevice = nullptr;
    IDirect3DRMDevice2* device = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
    IDirect3DRMViewport* inner = nullptr;  // a second viewport of the device
};

struct ViewportRect {
    DWORD x, y, width, height;
};

class PartialClearTest : public RetainedModeTest {
protected:
    void SetUp() override {
        RetainedModeTest::SetUp();
        DxFault::PretendDisplayDepth(32);
        DxPretendDesktopSize(kScreenWidth, kScreenHeight);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        ASSERT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        ASSERT_EQ(dd_->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d_)), S_OK);
        DDSURFACEDESC desc = Desc();
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
        scene_ = NewFrame(nullptr);
        camera_ = NewFrame(scene_);
        BuildScene();
    }
    void TearDown() override {
        Release(tested_);
        Release(reference_);
        for (IUnknown* object :
             {static_cast<IUnknown*>(camera_), static_cast<IUnknown*>(scene_),
              static_cast<IUnknown*>(primary_), static_cast<IUnknown*>(d3d_), static_cast<IUnknown*>(dd_)})
            if (object != nullptr) object->Release();
        RetainedModeTest::TearDown();
    }

    static DDSURFACEDESC Desc() {
        DDSURFACEDESC desc{};
        desc.dwSize = DDSURFACEDESC_SIZE;
        return desc;
    }

    void Make(Pair* pair, const GUID& kind, ViewportRect rect, bool inner) {
        DDSURFACEDESC desc = Desc();
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = kWidth;
        desc.dwHeight = kHeight;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
        ASSERT_EQ(dd_->CreateSurface(&desc, &pair->back, nullptr), DD_OK);
        desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc.dwZBufferBitDepth = 16;
        desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
        ASSERT_EQ(dd_->CreateSurface(&desc, &pair->zbuffer, nullptr), DD_OK);
        ASSERT_EQ(pair->back->AddAttachedSurface(pair->zbuffer), DD_OK);
        ASSERT_EQ(d3d_->CreateDevice(kind, pair->back, &pair->d3dDevice), DD_OK);
        ASSERT_EQ(rm->CreateDeviceFromD3D(d3d_, pair->d3dDevice, &pair->device), D3DRM_OK);
        ASSERT_EQ(pair->device->SetQuality(D3DRMRENDER_GOURAUD), D3DRM_OK);
        ASSERT_EQ(rm->CreateViewport(pair->device, camera_, rect.x, rect.y, rect.width, rect.height,
                                     &pair->viewport),
                  D3DRM_OK);
        if (inner) {
            ASSERT_EQ(rm->CreateViewport(pair->device, camera_, 100, 70, 36, 38, &pair->inner), D3DRM_OK);
        }
    }

    static void Release(Pair& pair) {
        for (IUnknown** object :
             {reinterpret_cast<IUnknown**>(&pair.inner), reinterpret_cast<IUnknown**>(&pair.viewport),
              reinterpret_cast<IUnknown**>(&pair.device), reinterpret_cast<IUnknown**>(&pair.d3dDevice),
              reinterpret_cast<IUnknown**>(&pair.zbuffer), reinterpret_cast<IUnknown**>(&pair.back)})
            if (*object != nullptr) {
                (*object)->Release();
                *object = nullptr;
            }
    }

    // A small near square in front of a larger far one, lit.
    void BuildScene() {
        IDirect3DRMLight* light = nullptr;
        ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 1, 1, 1, &light), D3DRM_OK);
        ASSERT_EQ(scene_->AddLight(light), D3DRM_OK);
        light->Release();
        AddSquare(0.4f, 0.6f, 4.0f, 0.5f, 0xFFFF4020u);
        AddSquare(-0.3f, -0.2f, 6.0f, 1.2f, 0xFF2060FFu);
    }

    void AddSquare(float x, float y, float z, float half, D3DCOLOR color) {
        IDirect3DRMMeshBuilder2* builder = nullptr;
        ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
        IDirect3DRMFace* face = nullptr;
        ASSERT_EQ(builder->CreateFace(&face), D3DRM_OK);
        const D3DVECTOR corners[4] = {{x + half, y + half, z},
                                      {x + half, y - half, z},
                                      {x - half, y - half, z},
                                      {x - half, y + half, z}};
        for (const D3DVECTOR& c : corners) builder->AddVertex(c.x, c.y, c.z);
        builder->AddNormal(0, 0, -1);
        for (DWORD k = 0; k < 4; ++k) ASSERT_EQ(face->AddVertexAndNormalIndexed(k, 0), D3DRM_OK);
        face->Release();
        ASSERT_EQ(builder->SetColor(color), D3DRM_OK);
        IDirect3DRMMesh* mesh = nullptr;
        ASSERT_EQ(builder->CreateMesh(&mesh), D3DRM_OK);
        ASSERT_EQ(scene_->AddVisual(mesh), D3DRM_OK);
        mesh->Release();
        builder->Release();
    }

    // The camera of frame `k`: wandering sideways and rolling.
    void PlaceCamera(int k) {
        const float t = static_cast<float>(k);
        const float roll = 0.13f * t;
        ASSERT_EQ(
            camera_->SetPosition(scene_, 0.9f * std::sin(0.4f * t), 0.5f * std::cos(0.3f * t), 0.2f * t),
            D3DRM_OK);
        ASSERT_EQ(camera_->SetOrientation(scene_, 0, 0, 1, std::sin(roll), std::cos(roll), 0), D3DRM_OK);
    }

    static void DrawFrame(const Pair& pair, IDirect3DRMFrame* scene, bool withInner) {
        ASSERT_EQ(pair.viewport->Clear(), D3DRM_OK);
        ASSERT_EQ(pair.viewport->Render(scene), D3DRM_OK);
        if (withInner) {
            ASSERT_EQ(pair.inner->Render(scene), D3DRM_OK);
        }
        ASSERT_EQ(pair.device->Update(), D3DRM_OK);
    }

    // Locks `rect` of `surface` and fills it with `value` (4 or 2 bytes).
    static void Scrawl(IDirectDrawSurface* surface, RECT rect, std::uint32_t value, int bytes) {
        DDSURFACEDESC desc = Desc();
        ASSERT_EQ(surface->Lock(&rect, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (LONG y = 0; y < rect.bottom - rect.top; ++y)
            for (LONG x = 0; x < rect.right - rect.left; ++x)
                std::memcpy(static_cast<std::uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &value,
                            static_cast<std::size_t>(bytes));
        ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
    }

    // The reference surface's picture, read through a lock.
    std::vector<std::uint32_t> ReferencePicture() {
        DDSURFACEDESC desc = Desc();
        EXPECT_EQ(reference_.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        std::vector<std::uint32_t> picture(kWidth * kHeight);
        for (DWORD y = 0; y < kHeight; ++y)
            std::memcpy(picture.data() + y * kWidth,
                        static_cast<const std::uint8_t*>(desc.lpSurface) + y * desc.lPitch, kWidth * 4);
        EXPECT_EQ(reference_.back->Unlock(nullptr), DD_OK);
        return picture;
    }

    // The screen where the tested surface is presented.
    std::vector<std::uint32_t> ScreenPicture() {
        DDSURFACEDESC screen = Desc();
        EXPECT_TRUE(DxReadScreenImage(primary_, &screen));
        std::vector<std::uint32_t> picture(kWidth * kHeight);
        for (DWORD y = 0; y < kHeight; ++y)
            std::memcpy(
                picture.data() + y * kWidth,
                static_cast<const std::uint8_t*>(screen.lpSurface) + (kAtY + y) * screen.lPitch + kAtX * 4,
                kWidth * 4);
        return picture;
    }

    // Paints over the screen where `rect` of the tested surface is shown.
    void ScribbleScreen(const ViewportRect& rect) {
        DDSURFACEDESC screen = Desc();
        ASSERT_TRUE(DxReadScreenImage(primary_, &screen));
        for (DWORD y = 0; y < rect.height; ++y)
            for (DWORD x = 0; x < rect.width; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(screen.lpSurface) +
                                                 (kAtY + rect.y + y) * screen.lPitch)[kAtX + rect.x + x] =
                    0x00DEAD00u;
    }

    IDirectDraw* dd_ = nullptr;
    IDirect3D2* d3d_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirect3DRMFrame2* scene_ = nullptr;
    IDirect3DRMFrame2* camera_ = nullptr;
    Pair tested_;
    Pair reference_;
};

struct Sequence {
    const char* what;
    const GUID* kind;
    ViewportRect rect;
    bool inner;  // a second viewport of the device draws on every third frame
    // Done to the tested pair between frames `at` and `at + 1`; true when the
    // whole viewport must then be cleared and copied (the screen there is
    // painted over before that frame is presented).
    std::function<bool(Pair&)> between;
    int at;
};

TEST_F(PartialClearTest, FramesMatchFullClearsAndFullCopies) {
    const ViewportRect whole{0, 0, kWidth, kHeight};
    const ViewportRect offset{16, 8, 120, 100};
    const auto nothing = [](Pair&) { return false; };
    const Sequence runs[] = {
        {"MMX, whole surface", &IID_IDirect3DMMXDevice, whole, false, nothing, 0},
        {"ramp, whole surface", &IID_IDirect3DRampDevice, whole, false, nothing, 0},
        {"MMX, offset viewport", &IID_IDirect3DMMXDevice, offset, false, nothing, 0},
        {"MMX, a second viewport draws too", &IID_IDirect3DMMXDevice, offset, true, nothing, 0},
        {"colour written through a lock", &IID_IDirect3DMMXDevice, offset, false,
         [](Pair& pair) {
             Scrawl(pair.back, RECT{20, 10, 130, 100}, 0x00FFFFFFu, 4);
             return false;
         },
         7},
        {"colour written through two locks", &IID_IDirect3DMMXDevice, offset, false,
         [](Pair& pair) {
             Scrawl(pair.back, RECT{20, 10, 30, 20}, 0x00FFFFFFu, 4);
             Scrawl(pair.back, RECT{100, 90, 110, 100}, 0x00FFFFFFu, 4);
             return true;
         },
         8},
        {"depth written through a lock", &IID_IDirect3DMMXDevice, whole, false,
         [](Pair& pair) {
             Scrawl(pair.zbuffer, RECT{0, 0, kWidth, kHeight}, 0, 2);
             return true;
         },
         9},
        {"a forced update", &IID_IDirect3DMMXDevice, offset, false,
         [](Pair& pair) {
             EXPECT_EQ(
                 pair.viewport->ForceUpdate(0, 0, pair.viewport->GetWidth(), pair.viewport->GetHeight()),
                 D3DRM_OK);
             return true;
         },
         6},
        {"lost and restored", &IID_IDirect3DRampDevice, offset, false,
         [](Pair& pair) {
             DxFault::MarkSurfaceLost(pair.back);
             EXPECT_EQ(pair.back->Restore(), DD_OK);
             return true;
         },
         5},
    };
    for (const Sequence& run : runs) {
        SCOPED_TRACE(run.what);
        Release(tested_);
        Release(reference_);
        Make(&tested_, *run.kind, run.rect, run.inner);
        Make(&reference_, *run.kind, run.rect, run.inner);
        std::vector<std::uint32_t> previous;
        int changes = 0;
        for (int k = 0; k < kFrames; ++k) {
            SCOPED_TRACE(k);
            PlaceCamera(k);
            const bool withInner = run.inner && k % 3 == 1;
            Scrawl(reference_.back, RECT{0, 0, kWidth, kHeight}, 0, 4);
            DrawFrame(reference_, scene_, withInner);
            const bool whole = k == run.at + 1 && run.between(tested_);
            DrawFrame(tested_, scene_, withInner);
            if (whole) ScribbleScreen(run.rect);
            RECT dest{kAtX, kAtY, kAtX + static_cast<LONG>(kWidth), kAtY + static_cast<LONG>(kHeight)};
            ASSERT_EQ(primary_->Blt(&dest, tested_.back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
            const std::vector<std::uint32_t> reference = ReferencePicture();
            ASSERT_EQ(ScreenPicture(), reference);
            if (reference != previous) ++changes;
            previous = reference;
        }
        // The scene did move: the comparison covered changing pictures.
        EXPECT_GT(changes, kFrames / 2);
    }
}

}  // namespace
