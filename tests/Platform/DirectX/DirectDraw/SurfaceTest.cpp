// Surfaces: formats and sizes from the display and the description, refused
// descriptions, z-buffer attachment, locking, copies and reference counts.
#include <cstring>

#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

using DDrawSurfaceTest = DirectDrawTest;

struct DisplayCase {
    int depth;
    DWORD bits;
    DWORD flags;
    DWORD red, green, blue;
    LONG pitch;  // of a 100-pixel row
};

TEST_F(DDrawSurfaceTest, SurfacesTakeTheDisplaysFormat) {
    const DisplayCase cases[] = {
        {32, 32, DDPF_RGB, 0xFF0000, 0xFF00, 0xFF, 400},
        {24, 32, DDPF_RGB, 0xFF0000, 0xFF00, 0xFF, 400},
        {16, 16, DDPF_RGB, 0xF800, 0x07E0, 0x001F, 208},
        {8, 8, DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 0, 0, 112},
    };
    DxPretendDesktopSize(320, 200);
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.depth);
        DxFault::PretendDisplayDepth(c.depth);
        IDirectDrawSurface* primary = Make(PrimaryDesc());
        IDirectDrawSurface* back = Make(BackDesc(100, 30));
        ASSERT_NE(primary, nullptr);
        ASSERT_NE(back, nullptr);
        DDSURFACEDESC desc = SizedDesc();
        ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwWidth, 320u);
        EXPECT_EQ(desc.dwHeight, 200u);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, c.bits);
        EXPECT_EQ(desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE, DDSCAPS_PRIMARYSURFACE);

        desc = SizedDesc();
        ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwSize, DDSURFACEDESC_SIZE);
        EXPECT_EQ(desc.dwWidth, 100u);
        EXPECT_EQ(desc.dwHeight, 30u);
        EXPECT_EQ(desc.lPitch, c.pitch);
        EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, c.flags);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, c.bits);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, c.red);
        EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, c.green);
        EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, c.blue);
        EXPECT_EQ(desc.ddsCaps.dwCaps, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE);
        EXPECT_EQ(back->Release(), 0u);
        EXPECT_EQ(primary->Release(), 0u);
    }
}

TEST_F(DDrawSurfaceTest, ZBufferDescriptionNamesItsDepth) {
    // The way a caller builds it: the back surface's description, re-flagged.
    IDirectDrawSurface* back = Make(BackDesc(64, 48));
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    desc.dwZBufferBitDepth = 16;
    IDirectDrawSurface* zbuffer = Make(desc);
    ASSERT_NE(zbuffer, nullptr);

    DDSURFACEDESC z = SizedDesc();
    ASSERT_EQ(zbuffer->GetSurfaceDesc(&z), DD_OK);
    EXPECT_EQ(z.dwWidth, 64u);
    EXPECT_EQ(z.dwHeight, 48u);
    EXPECT_EQ(z.dwFlags & DDSD_ZBUFFERBITDEPTH, DDSD_ZBUFFERBITDEPTH);
    EXPECT_EQ(z.dwZBufferBitDepth, 16u);
    EXPECT_EQ(z.ddpfPixelFormat.dwFlags, DDPF_ZBUFFER);
    EXPECT_EQ(z.ddsCaps.dwCaps, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY);
    zbuffer->Release();
    back->Release();
}

struct RefusedCase {
    const char* what;
    DDSURFACEDESC desc;
    HRESULT expected;
};

DDSURFACEDESC With(DDSURFACEDESC desc, void (*change)(DDSURFACEDESC&)) {
    change(desc);
    return desc;
}

TEST_F(DDrawSurfaceTest, RefusedDescriptions) {
    const RefusedCase cases[] = {
        {"dwSize of a newer structure", With(BackDesc(8, 8), [](DDSURFACEDESC& d) { d.dwSize = 124; }),
         DDERR_INVALIDPARAMS},
        {"no width", With(BackDesc(8, 8), [](DDSURFACEDESC& d) { d.dwFlags &= ~DDSD_WIDTH; }),
         DDERR_INVALIDPARAMS},
        {"zero height", BackDesc(8, 0), DDERR_INVALIDPARAMS},
        {"too wide", BackDesc(20000, 8), DDERR_TOOBIGSIZE},
        {"video memory",
         With(BackDesc(8, 8),
              [](DDSURFACEDESC& d) { d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY; }),
         DDERR_OUTOFVIDEOMEMORY},
        {"24-bit z-buffer", With(ZBufferDesc(8, 8), [](DDSURFACEDESC& d) { d.dwZBufferBitDepth = 24; }),
         DDERR_INVALIDPIXELFORMAT},
        {"z-buffer without depth",
         With(ZBufferDesc(8, 8), [](DDSURFACEDESC& d) { d.dwFlags &= ~DDSD_ZBUFFERBITDEPTH; }),
         DDERR_INVALIDPIXELFORMAT},
        {"unknown pixel format",
         With(BackDesc(8, 8),
              [](DDSURFACEDESC& d) {
                  d.dwFlags |= DDSD_PIXELFORMAT;
                  d.ddpfPixelFormat =
                      DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
              }),
         DDERR_INVALIDPIXELFORMAT},
        {"primary with a size",
         With(PrimaryDesc(), [](DDSURFACEDESC& d) { d.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT; }),
         DDERR_INVALIDPARAMS},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        DDSURFACEDESC desc = c.desc;
        IDirectDrawSurface* surface = reinterpret_cast<IDirectDrawSurface*>(&desc);
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), c.expected);
        EXPECT_EQ(surface, nullptr);
    }
}

TEST_F(DDrawSurfaceTest, PrimaryNeedsCooperationAndIsOnlyOne) {
    IDirectDraw* fresh = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
    DDSURFACEDESC desc = PrimaryDesc();
    IDirectDrawSurface* primary = nullptr;
    EXPECT_EQ(fresh->CreateSurface(&desc, &primary, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(fresh->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_UNSUPPORTED);
    EXPECT_EQ(fresh->Release(), 0u);

    primary = Make(PrimaryDesc());
    IDirectDrawSurface* second = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(primary->Release(), 0u);
    second = Make(PrimaryDesc());  // the first one is gone
    EXPECT_NE(second, nullptr);
    second->Release();
}

TEST_F(DDrawSurfaceTest, ZBufferAttachesOnceAndIsHeld) {
    IDirectDrawSurface* back = Make(BackDesc(32, 16));
    IDirectDrawSurface* zbuffer = Make(ZBufferDesc(32, 16));
    IDirectDrawSurface* other = Make(ZBufferDesc(32, 16));
    ASSERT_EQ(back->AddAttachedSurface(zbuffer), DD_OK);
    EXPECT_EQ(RefCount(zbuffer), 2u);
    EXPECT_EQ(back->AddAttachedSurface(zbuffer), DDERR_SURFACEALREADYATTACHED);
    EXPECT_EQ(back->AddAttachedSurface(other), DDERR_SURFACEALREADYATTACHED);
    EXPECT_EQ(RefCount(other), 1u);

    DDSCAPS caps{DDSCAPS_ZBUFFER};
    IDirectDrawSurface* found = nullptr;
    ASSERT_EQ(back->GetAttachedSurface(&caps, &found), DD_OK);
    EXPECT_EQ(found, zbuffer);
    EXPECT_EQ(found->Release(), 2u);
    caps.dwCaps = DDSCAPS_TEXTURE;
    EXPECT_EQ(back->GetAttachedSurface(&caps, &found), DDERR_NOTFOUND);

    // The render surface keeps its z-buffer alive after the caller lets go.
    EXPECT_EQ(zbuffer->Release(), 1u);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DDrawSurfaceTest, OnlyAFittingZBufferAttaches) {
    IDirectDrawSurface* back = Make(BackDesc(32, 16));
    IDirectDrawSurface* small = Make(ZBufferDesc(32, 15));
    IDirectDrawSurface* plain = Make(BackDesc(32, 16));
    IDirectDrawSurface* zbuffer = Make(ZBufferDesc(32, 16));
    IDirectDrawSurface* primary = Make(PrimaryDesc());
    struct {
        IDirectDrawSurface* to;
        IDirectDrawSurface* attached;
    } const cases[] = {{back, small}, {back, plain}, {back, back}, {zbuffer, small}, {primary, zbuffer}};
    for (const auto& c : cases) EXPECT_EQ(c.to->AddAttachedSurface(c.attached), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(back->AddAttachedSurface(nullptr), DDERR_INVALIDPARAMS);
    for (IDirectDrawSurface* s : {back, small, plain, zbuffer, primary}) EXPECT_EQ(s->Release(), 0u);
}

TEST_F(DDrawSurfaceTest, LockGivesTheMemoryOnceAndTheRectanglesCorner) {
    DxFault::PretendDisplayDepth(16);
    IDirectDrawSurface* back = Make(BackDesc(10, 10));
    DDSURFACEDESC whole = SizedDesc();
    ASSERT_EQ(back->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(whole.lpSurface, nullptr);
    DDSURFACEDESC again = SizedDesc();
    EXPECT_EQ(back->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(back->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);

    RECT part{3, 2, 5, 4};
    DDSURFACEDESC corner = SizedDesc();
    ASSERT_EQ(back->Lock(&part, &corner, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(corner.lpSurface) - static_cast<std::uint8_t*>(whole.lpSurface),
              2 * whole.lPitch + 3 * 2);
    back->Unlock(nullptr);
    RECT outside{8, 8, 11, 9};
    EXPECT_EQ(back->Lock(&outside, &corner, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
    DDSURFACEDESC wrongSize{};
    wrongSize.dwSize = 100;
    EXPECT_EQ(back->Lock(nullptr, &wrongSize, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    back->Release();
}

TEST_F(DDrawSurfaceTest, BltCopiesBetweenOffScreenSurfaces) {
    DxFault::PretendDisplayDepth(32);
    IDirectDrawSurface* from = Make(BackDesc(8, 8));
    IDirectDrawSurface* to = Make(BackDesc(8, 8));
    Fill(from, 0x00112233);
    RECT source{0, 0, 3, 2};
    RECT dest{4, 5, 7, 7};
    ASSERT_EQ(to->Blt(&dest, from, &source, DDBLT_WAIT, nullptr), DD_OK);
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(to->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 5 && y < 7;
            EXPECT_EQ(PixelAt(desc, x, y), inside ? 0x00112233u : 0u) << x << "," << y;
        }
    to->Unlock(nullptr);

    RECT stretched{0, 0, 6, 4};
    EXPECT_EQ(to->Blt(&stretched, from, &source, DDBLT_WAIT, nullptr), DDERR_UNSUPPORTED);
    RECT beyond{6, 0, 9, 2};
    EXPECT_EQ(to->Blt(&beyond, from, &source, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(to->Blt(nullptr, from, nullptr, DDBLT_WAIT | DDBLT_COLORFILL, nullptr), DDERR_UNSUPPORTED);
    DxFault::PretendDisplayDepth(16);
    IDirectDrawSurface* other = Make(BackDesc(8, 8));
    EXPECT_EQ(to->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
    for (IDirectDrawSurface* s : {from, to, other}) s->Release();
}

TEST_F(DDrawSurfaceTest, BltWithinOneSurfaceReadsBeforeItWrites) {
    DxFault::PretendDisplayDepth(8);
    IDirectDrawSurface* surface = Make(BackDesc(4, 6));
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < 6; ++y)
        static_cast<std::uint8_t*>(desc.lpSurface)[y * desc.lPitch] = static_cast<std::uint8_t>(y + 1);
    surface->Unlock(nullptr);
    RECT source{0, 0, 1, 4};
    RECT dest{0, 2, 1, 6};  // overlapping, two rows down
    ASSERT_EQ(surface->Blt(&dest, surface, &source, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const std::uint32_t expected[6] = {1, 2, 1, 2, 3, 4};
    for (int y = 0; y < 6; ++y) EXPECT_EQ(PixelAt(desc, 0, y), expected[y]) << y;
    surface->Unlock(nullptr);
    surface->Release();
}

TEST_F(DDrawSurfaceTest, PalettesBelongToEightBitSurfaces) {
    PALETTEENTRY entries[256]{};
    for (int i = 0; i < 256; ++i)
        entries[i] = {static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i), PC_RESERVED};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette, nullptr), DD_OK);
    IDirectDrawPalette* small = palette;
    EXPECT_EQ(dd_->CreatePalette(DDPCAPS_4BIT, entries, &small, nullptr), DDERR_UNSUPPORTED);
    EXPECT_EQ(small, nullptr);

    PALETTEENTRY replacement[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    ASSERT_EQ(palette->SetEntries(0, 254, 2, replacement), DD_OK);
    EXPECT_EQ(palette->SetEntries(0, 255, 2, replacement), DDERR_INVALIDPARAMS);
    PALETTEENTRY read[3]{};
    ASSERT_EQ(palette->GetEntries(0, 253, 3, read), DD_OK);
    EXPECT_EQ(read[0].peRed, 253);
    EXPECT_EQ(read[0].peFlags, PC_RESERVED);
    EXPECT_EQ(read[2].peBlue, 6);

    DxFault::PretendDisplayDepth(32);
    IDirectDrawSurface* deep = Make(BackDesc(4, 4));
    EXPECT_EQ(deep->SetPalette(palette), DDERR_NOTPALETTIZED);
    DxFault::PretendDisplayDepth(8);
    IDirectDrawSurface* indexed = Make(BackDesc(4, 4));
    IDirectDrawPalette* got = nullptr;
    EXPECT_EQ(indexed->GetPalette(&got), DDERR_NOPALETTEATTACHED);
    ASSERT_EQ(indexed->SetPalette(palette), DD_OK);
    ASSERT_EQ(indexed->GetPalette(&got), DD_OK);
    EXPECT_EQ(got, palette);
    got->Release();
    EXPECT_EQ(palette->Release(), 1u);  // the surface holds it
    EXPECT_EQ(indexed->Release(), 0u);
    EXPECT_EQ(deep->Release(), 0u);
}

TEST_F(DDrawSurfaceTest, ObjectsAnswerTheirOwnInterfacesOnly) {
    IDirectDrawSurface* back = Make(BackDesc(4, 4));
    void* answer = nullptr;
    EXPECT_EQ(back->QueryInterface(IID_IDirectDrawSurface, &answer), S_OK);
    EXPECT_EQ(answer, back);
    EXPECT_EQ(back->QueryInterface(IID_IUnknown, &answer), S_OK);
    EXPECT_EQ(RefCount(back), 3u);
    back->Release();
    back->Release();
    EXPECT_EQ(back->QueryInterface(IID_IDirectDraw, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(dd_->QueryInterface(IID_IDirectDraw, &answer), S_OK);
    EXPECT_EQ(answer, dd_);
    dd_->Release();
    EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DDrawSurfaceTest, SurfacesKeepTheirDirectDrawAlive) {
    IDirectDrawSurface* back = Make(BackDesc(4, 4));
    EXPECT_EQ(dd_->Release(), 1u);
    dd_ = nullptr;
    Fill(back, 7);  // still usable: ASan would catch a freed owner
    EXPECT_EQ(back->Release(), 0u);
}

}  // namespace
