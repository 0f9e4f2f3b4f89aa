// Device enumeration, the choice of rasteriser, and the palette and render
// settings that follow the display depth.
#include <gmock/gmock.h>

#include "tests/Direct3d/RendalTestSupport.h"

namespace {

using testing::HasSubstr;
using testing::Not;

D3DDEVICEDESC Desc(D3DCOLORMODEL model, DWORD zDepths) {
    D3DDEVICEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVICEZBUFFERBITDEPTH;
    desc.dcmColorModel = model;
    desc.dwDeviceZBufferBitDepth = zDepths;
    return desc;
}

EnumeratedDevice Hardware(std::uint32_t data1, const char* name, D3DCOLORMODEL model, DWORD zDepths,
                          D3DCOLORMODEL softwareModel = 0) {
    return {GUID{data1, 0, 0, {}}, "hardware", name, Desc(model, zDepths), Desc(softwareModel, 0)};
}

EnumeratedDevice Software(std::uint32_t data1, const char* name, D3DCOLORMODEL model) {
    return {GUID{data1, 0, 0, {}}, "software", name, D3DDEVICEDESC{}, Desc(model, DDBD_16)};
}

struct Enumeration {
    const char* what;
    std::vector<EnumeratedDevice> devices;
    const char* announced;
};

const Enumeration kEnumerations[] = {
    {"hardware first, nothing after it",
     {Hardware(0xABCDEF12, "Fast HAL", D3DCOLOR_MONO | D3DCOLOR_RGB, DDBD_16),
      Hardware(0x22, "Second HAL", D3DCOLOR_MONO, DDBD_16), Software(0x33, "Soft", D3DCOLOR_MONO)},
     "RZX:HAL DeviceName :Fast HAL abcdef12\n"},
    {"hardware after a software device",
     {Software(0x10, "Soft", D3DCOLOR_MONO), Hardware(0x20, "Late HAL", D3DCOLOR_MONO, DDBD_32),
      Software(0x30, "Other", D3DCOLOR_MONO)},
     "RZX:DeviceName :Soft 10\nRZX:HAL DeviceName :Late HAL 20\n"},
    {"first mono software device only",
     {Software(0x1, "Colour", D3DCOLOR_RGB), Software(0xF00D, "Mono A", D3DCOLOR_MONO),
      Software(0x3, "Mono B", D3DCOLOR_MONO)},
     "RZX:DeviceName :Mono A f00d\n"},
    {"hardware without a usable depth is passed over with its software side",
     {Hardware(0x5, "Shallow HAL", D3DCOLOR_MONO, DDBD_8, D3DCOLOR_MONO),
      Software(0x6, "Soft", D3DCOLOR_MONO)},
     "RZX:DeviceName :Soft 6\n"},
    {"hardware of another colour model falls back to its software side",
     {Hardware(0x7, "RGB HAL", D3DCOLOR_RGB, DDBD_24, D3DCOLOR_MONO)},
     "RZX:DeviceName :RGB HAL 7\n"},
    {"nothing fit", {Software(0x8, "Colour", D3DCOLOR_RGB)}, ""},
};

TEST_F(RendalTest, EnumerationAnnouncesTheDevicesFitForTheRenderer) {
    for (const Enumeration& e : kEnumerations) {
        SCOPED_TRACE(e.what);
        DxFault::ReplaceDeviceList(e.devices);
        if (!window_) OpenWindow(0, 0, 160, 120);
        int created = 0;
        std::string out = Captured([&] { created = CreateDirectDrawWin(window_) && RZXCreate(); });
        EXPECT_EQ(Between(out, "RZX:CreateD3DRM\n", "RZX:DeviceGuid 0\n"), e.announced);
        // Whatever was announced, the device is a software one.
        EXPECT_EQ(created, 1);
    }
}

TEST_F(RendalTest, DefaultDevicesAnnounceTheRampEmulation) {
    OpenWindow(0, 0, 160, 120);
    std::string out = Captured([&] { CreateDirectDrawWin(window_) && RZXCreate(); });
    EXPECT_EQ(Between(out, "RZX:CreateD3DRM\n", "RZX:DeviceGuid 0\n"),
              "RZX:DeviceName :Ramp Emulation f2086b20\n");
}

TEST_F(RendalTest, RefusedMmxDeviceFallsBackToRamp) {
    OpenWindow(0, 0, 160, 120);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });
    DxFault::FailCall(DxCall::Direct3D_CreateDevice, D3DERR_INITFAILED);

    int created = 0;
    std::string out = Captured([&] { created = RZXCreate(); });

    EXPECT_EQ(created, 1);
    EXPECT_THAT(out, testing::EndsWith("RZX:DeviceGuid 0\nRZX:Created Direct3DDevice with RAMP(HEL)\n"));
    EXPECT_THAT(out, Not(HasSubstr("MMX")));
    EXPECT_NE(RZXState.lpRMDevice, nullptr);
    ASSERT_EQ(RZXState.lpD3DRM->CreateFrame(nullptr, &camera_), D3DRM_OK);
    EXPECT_EQ(Captured([&] { EXPECT_EQ(RZXViewport(camera_), 1); }).find("phase 4\n") != std::string::npos,
              true);
}

using RendalDeathTest = RendalTest;

TEST_F(RendalDeathTest, NoSoftwareDeviceEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    OpenWindow(0, 0, 160, 120);
    Captured([&] { ASSERT_EQ(CreateDirectDrawWin(window_), 1); });
    DebugListener listener;
    DxFault::FailCall(DxCall::Direct3D_CreateDevice, D3DERR_INITFAILED, 0, 2);
    EXPECT_EXIT(RZXCreate(), testing::ExitedWithCode(1),
                "RZX:DeviceGuid 0\nRZX:Failed to Create Direct3DDevice!\nRZX:Rendal Cleanup\n$");
}

struct Depth {
    int bpp;
    D3DRMRENDERQUALITY quality;
    D3DRMTEXTUREQUALITY texture;
    DWORD shades;
};

void PrintTo(const Depth& d, std::ostream* os) {
    *os << d.bpp << " bits";
}

const Depth kDepths[] = {
    {8, D3DRMRENDER_FLAT, D3DRMTEXTURE_NEAREST, 8},
    {16, D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR, 32},
    {24, D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR, 32},
    {32, D3DRMRENDER_GOURAUD, D3DRMTEXTURE_LINEAR, 32},
};

class RendalDepthTest : public RendalTest, public testing::WithParamInterface<Depth> {};

TEST_P(RendalDepthTest, RenderSettingsFollowTheDisplayDepth) {
    const Depth& d = GetParam();
    DxFault::PretendDisplayDepth(d.bpp);
    OpenWindow(0, 0, 160, 120);
    int created = 0;
    std::string out = Captured([&] { created = CreateDirectDrawWin(window_) && RZXCreate(); });
    ASSERT_EQ(created, 1);
    EXPECT_EQ(RZXState.bpp, d.bpp);

    IDirect3DRMDevice2* device = RZXState.lpRMDevice;
    EXPECT_EQ(device->GetBufferCount(), 2u);
    EXPECT_EQ(device->GetDither(), FALSE);
    EXPECT_EQ(device->GetQuality(), d.quality);
    EXPECT_EQ(device->GetTextureQuality(), d.texture);
    EXPECT_EQ(device->GetShades(), d.shades);
    if (d.bpp == 8) {
        // Texture limits stay as a fresh Retained Mode object has them.
        IDirect3DRM* base = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&base), D3DRM_OK);
        IDirect3DRM2* fresh = nullptr;
        ASSERT_EQ(base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&fresh)), D3DRM_OK);
        EXPECT_EQ(RZXState.lpD3DRM->GetDefaultTextureColors(), fresh->GetDefaultTextureColors());
        EXPECT_EQ(RZXState.lpD3DRM->GetDefaultTextureShades(), fresh->GetDefaultTextureShades());
        fresh->Release();
        base->Release();
    } else {
        EXPECT_EQ(RZXState.lpD3DRM->GetDefaultTextureColors(), 64u);
        EXPECT_EQ(RZXState.lpD3DRM->GetDefaultTextureShades(), 32u);
    }

    if (d.bpp != 8) {
        EXPECT_THAT(out, Not(HasSubstr("palettized")));
        EXPECT_EQ(RZXState.lpDDPalette, nullptr);
        EXPECT_EQ(DxFault::CallCount(DxCall::DirectDraw_CreatePalette), 0);
        return;
    }
    EXPECT_EQ(Between(out, "RZX:CreateD3DRM\n", "RZX:DeviceName"), "RZX:palettized \n");
    ASSERT_NE(RZXState.lpDDPalette, nullptr);

    PALETTEENTRY system[256];
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, system);
    ReleaseDC(nullptr, screen);
    PALETTEENTRY made[256];
    ASSERT_EQ(RZXState.lpDDPalette->GetEntries(0, 0, 256, made), DD_OK);
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = RZXState.palEntries[i];
        EXPECT_EQ(e.peFlags, i < 10 || i > 245 ? 0x40 : 0x01) << i;
        EXPECT_EQ(e.peRed, system[i].peRed) << i;
        EXPECT_EQ(e.peGreen, system[i].peGreen) << i;
        EXPECT_EQ(e.peBlue, system[i].peBlue) << i;
        EXPECT_EQ(made[i].peRed, e.peRed) << i;
        EXPECT_EQ(made[i].peBlue, e.peBlue) << i;
    }
    for (IDirectDrawSurface* surface : {RZXState.lpDDSBack, RZXState.lpDDSPrimary}) {
        IDirectDrawPalette* set = nullptr;
        ASSERT_EQ(surface->GetPalette(&set), DD_OK);
        EXPECT_EQ(set, RZXState.lpDDPalette);
        if (set) set->Release();
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, RendalDepthTest, testing::ValuesIn(kDepths),
                         [](const testing::TestParamInfo<Depth>& info) {
                             return std::to_string(info.param.bpp);
                         });

TEST_F(RendalTest, RepeatedCreationReplacesThePaletteWithoutLeakingIt) {
    DxFault::PretendDisplayDepth(8);
    ASSERT_NO_FATAL_FAILURE(StartLayer());
    IDirectDrawPalette* first = RZXState.lpDDPalette;
    first->AddRef();

    std::string out = Captured([] { EXPECT_EQ(RZXCreate(), 1); });

    EXPECT_EQ(out, "RZX:CreateD3DRM\nRZX:palettized \n");
    // The field and both surfaces now hold the new palette; only the test
    // still holds the first.
    EXPECT_NE(RZXState.lpDDPalette, first);
    EXPECT_EQ(RefCount(first), 1u);
    first->Release();
}

}  // namespace
