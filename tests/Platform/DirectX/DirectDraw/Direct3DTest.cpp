// Direct3D: device enumeration, device creation on a render surface with a
// z-buffer, and drawing through the device's target.
#include <cstring>
#include <string>
#include <vector>

#include "Platform/DirectX/Raster/SimdPathChoice.h"
#include "Platform/DirectX/SoftwareDevice.h"
#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

struct Announced {
    GUID guid;
    std::string name;
    D3DDEVICEDESC hardware;
    D3DDEVICEDESC software;
};

HRESULT Record(GUID* guid, LPSTR, LPSTR name, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
               LPVOID context) {
    static_cast<std::vector<Announced>*>(context)->push_back({*guid, name, *hardware, *software});
    return D3DENUMRET_OK;
}

class DDrawDirect3DTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        void* d3d = nullptr;
        ASSERT_EQ(dd_->QueryInterface(IID_IDirect3D2, &d3d), S_OK);
        d3d_ = static_cast<IDirect3D2*>(d3d);
    }
    void TearDown() override {
        if (device_ != nullptr) {
            EXPECT_EQ(device_->Release(), 0u);
        }
        if (back_ != nullptr) {
            EXPECT_EQ(back_->Release(), 0u);
        }
        if (d3d_ != nullptr) {
            EXPECT_EQ(d3d_->Release(), 0u);
        }
        DirectDrawTest::TearDown();
    }

    std::vector<Announced> Enumerate() {
        std::vector<Announced> announced;
        EXPECT_EQ(d3d_->EnumDevices(Record, &announced), DD_OK);
        return announced;
    }

    // A render surface of the display's format with a z-buffer attached.
    void MakeRenderSurface(int depth, DWORD width, DWORD height) {
        DxFault::PretendDisplayDepth(depth);
        back_ = Make(BackDesc(width, height));
        IDirectDrawSurface* zbuffer = Make(ZBufferDesc(width, height));
        ASSERT_EQ(back_->AddAttachedSurface(zbuffer), DD_OK);
        zbuffer->Release();
    }

    IDirect3D2* d3d_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirect3DDevice2* device_ = nullptr;
};

TEST_F(DDrawDirect3DTest, EnumerationAnnouncesTheThreeSoftwareDevicesInOrder) {
    const std::vector<Announced> announced = Enumerate();
    ASSERT_EQ(announced.size(), 3u);
    const struct {
        const char* name;
        const GUID* guid;
        D3DCOLORMODEL model;
    } expected[] = {
        {"Ramp Emulation", &IID_IDirect3DRampDevice, D3DCOLOR_MONO},
        {"RGB Emulation", &IID_IDirect3DRGBDevice, D3DCOLOR_RGB},
        {"MMX Emulation", &IID_IDirect3DMMXDevice, D3DCOLOR_RGB},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(announced[i].name, expected[i].name);
        EXPECT_TRUE(announced[i].guid == *expected[i].guid);
        EXPECT_EQ(announced[i].hardware.dwSize, sizeof(D3DDEVICEDESC));
        EXPECT_EQ(announced[i].hardware.dcmColorModel, 0u);
        EXPECT_EQ(announced[i].hardware.dwDeviceZBufferBitDepth, 0u);
        EXPECT_EQ(announced[i].software.dcmColorModel, expected[i].model);
        EXPECT_EQ(announced[i].software.dwDeviceZBufferBitDepth, DDBD_16);
        EXPECT_NE(announced[i].software.dwDeviceRenderBitDepth & DDBD_16, 0u);
        EXPECT_NE(announced[i].software.dwFlags & D3DDD_COLORMODEL, 0u);
    }
}

TEST_F(DDrawDirect3DTest, TheHookReplacesTheDeviceList) {
    EnumeratedDevice hardware{};
    hardware.guid = GUID{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    hardware.name = "Accelerator";
    hardware.hardware.dwSize = sizeof(D3DDEVICEDESC);
    hardware.hardware.dcmColorModel = D3DCOLOR_MONO;
    hardware.hardware.dwDeviceZBufferBitDepth = DDBD_16;
    EnumeratedDevice software{};
    software.guid = IID_IDirect3DRampDevice;
    software.name = "Ramp Emulation";
    DxFault::ReplaceDeviceList({hardware, software});

    const std::vector<Announced> announced = Enumerate();
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].name, "Accelerator");
    EXPECT_EQ(announced[0].guid.Data1, 0x12345678u);
    EXPECT_EQ(announced[0].hardware.dcmColorModel, D3DCOLOR_MONO);
    EXPECT_EQ(announced[0].hardware.dwDeviceZBufferBitDepth, DDBD_16);
    EXPECT_EQ(announced[1].name, "Ramp Emulation");

    DxFault::ReplaceDeviceList({});
    EXPECT_EQ(Enumerate().size(), 3u);
}

TEST_F(DDrawDirect3DTest, EnumerationStopsWhenTheCallbackCancels) {
    int calls = 0;
    auto cancel = [](GUID*, LPSTR, LPSTR, D3DDEVICEDESC*, D3DDEVICEDESC*, LPVOID context) -> HRESULT {
        ++*static_cast<int*>(context);
        return D3DENUMRET_CANCEL;
    };
    EXPECT_EQ(d3d_->EnumDevices(cancel, &calls), DD_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(d3d_->EnumDevices(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DDrawDirect3DTest, EachDeviceDrawsWithItsRasterizer) {
    MakeRenderSurface(32, 16, 16);
    const raster::Rasterizer* simd = raster::SimdRasterizer();
    const struct {
        const GUID* guid;
        const raster::Rasterizer* rasterizer;
    } cases[] = {
        {&IID_IDirect3DRampDevice, &raster::ScalarRasterizer()},
        {&IID_IDirect3DRGBDevice, &raster::ScalarRasterizer()},
        {&IID_IDirect3DMMXDevice, simd},
    };
    for (const auto& c : cases) {
        IDirect3DDevice2* device = nullptr;
        if (c.rasterizer == nullptr) {
            EXPECT_EQ(d3d_->CreateDevice(*c.guid, back_, &device), D3DERR_INITFAILED);
            continue;
        }
        ASSERT_EQ(d3d_->CreateDevice(*c.guid, back_, &device), DD_OK);
        EXPECT_EQ(&SoftwareDeviceRasterizer(device), c.rasterizer);
        IDirectDrawSurface* target = nullptr;
        ASSERT_EQ(device->GetRenderTarget(&target), DD_OK);
        EXPECT_EQ(target, back_);
        target->Release();
        EXPECT_EQ(device->Release(), 0u);
    }
}

TEST_F(DDrawDirect3DTest, CreationNeedsARenderSurfaceWithAZBuffer) {
    DDSURFACEDESC plainDesc = BackDesc(8, 8);
    plainDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* plain = Make(plainDesc);
    IDirectDrawSurface* noZ = Make(BackDesc(8, 8));
    IDirect3DDevice2* device = nullptr;
    EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3DRampDevice, plain, &device), DDERR_INVALIDCAPS);
    EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3DRampDevice, noZ, &device), DDERR_SURFACENOTATTACHED);
    EXPECT_EQ(device, nullptr);
    MakeRenderSurface(32, 8, 8);
    EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3D2, back_, &device), D3DERR_INVALID_DEVICE);
    plain->Release();
    noZ->Release();
}

TEST_F(DDrawDirect3DTest, TheHookRefusesTheMmxDeviceAndTheRampOneStillComes) {
    MakeRenderSurface(16, 8, 8);
    DxFault::FailCall(DxCall::Direct3D_CreateDevice, D3DERR_INITFAILED);
    EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3DMMXDevice, back_, &device_), D3DERR_INITFAILED);
    EXPECT_EQ(device_, nullptr);
    ASSERT_EQ(d3d_->CreateDevice(IID_IDirect3DRampDevice, back_, &device_), DD_OK);
    EXPECT_EQ(&SoftwareDeviceRasterizer(device_), &raster::ScalarRasterizer());
    EXPECT_EQ(DxFault::CallCount(DxCall::Direct3D_CreateDevice), 2);
    EXPECT_EQ(RefCount(back_), 2u);  // the device holds its render target
}

// A triangle covering the lower left half of the target, in one colour.
void DrawHalf(IDirect3DDevice2* device, float r, float g, float b) {
    raster::Target target{};
    ASSERT_TRUE(SoftwareDeviceTarget(device, &target));
    const raster::Rasterizer& rasterizer = SoftwareDeviceRasterizer(device);
    rasterizer.Clear(target, 0, 0xFFFF);
    const float w = static_cast<float>(target.width), h = static_cast<float>(target.height);
    const raster::Vertex v[3] = {
        {0, 0, 0.5f, 1, 0, 0, r, g, b}, {0, h, 0.5f, 1, 0, 0, r, g, b}, {w, h, 0.5f, 1, 0, 0, r, g, b}};
    const raster::State state{nullptr, raster::Shading::Flat, raster::Filter::Nearest};
    rasterizer.DrawTriangles(target, state, v, 1);
}

TEST_F(DDrawDirect3DTest, ATriangleDrawnThroughTheTargetLandsInTheSurface) {
    MakeRenderSurface(32, 16, 16);
    ASSERT_EQ(d3d_->CreateDevice(IID_IDirect3DRampDevice, back_, &device_), DD_OK);
    DrawHalf(device_, 1, 0, 0);
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelAt(desc, 1, 14), 0xFF0000u);  // inside
    EXPECT_EQ(PixelAt(desc, 14, 1), 0u);         // outside
    back_->Unlock(nullptr);

    IDirectDrawSurface* zbuffer = nullptr;
    DDSCAPS caps{DDSCAPS_ZBUFFER};
    ASSERT_EQ(back_->GetAttachedSurface(&caps, &zbuffer), DD_OK);
    ASSERT_EQ(zbuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_LT(PixelAt(desc, 1, 14), 0xFFFFu);
    EXPECT_EQ(PixelAt(desc, 14, 1), 0xFFFFu);
    zbuffer->Unlock(nullptr);
    zbuffer->Release();

    DxFault::MarkSurfaceLost(back_);
    raster::Target target{};
    EXPECT_FALSE(SoftwareDeviceTarget(device_, &target));
}

TEST_F(DDrawDirect3DTest, EightBitTargetsDrawThePalettesNearestUsableEntry) {
    MakeRenderSurface(8, 8, 8);
    ASSERT_EQ(d3d_->CreateDevice(IID_IDirect3DRampDevice, back_, &device_), DD_OK);
    PALETTEENTRY entries[256]{};
    for (PALETTEENTRY& e : entries) e = {0x80, 0x80, 0x80, PC_RESERVED};
    entries[7] = {0, 0, 0xF0, D3DPAL_READONLY};  // usable: read-only means not ours to change
    entries[9] = {0, 0, 0xFF, D3DPAL_RESERVED};  // nearer, but not ours to use
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);

    auto drawnIndex = [&] {
        DrawHalf(device_, 0, 0, 1);
        DDSURFACEDESC desc = SizedDesc();
        EXPECT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const std::uint32_t index = PixelAt(desc, 0, 7);
        back_->Unlock(nullptr);
        return index;
    };
    EXPECT_EQ(drawnIndex(), 0u);  // no palette: everything maps to entry 0
    ASSERT_EQ(back_->SetPalette(palette), DD_OK);
    EXPECT_EQ(drawnIndex(), 7u);
    PALETTEENTRY blue{0, 0, 0xFF, PC_RESERVED};
    ASSERT_EQ(palette->SetEntries(0, 200, 1, &blue), DD_OK);
    EXPECT_EQ(drawnIndex(), 200u);  // the table follows the palette's entries
    palette->Release();
}

}  // namespace
