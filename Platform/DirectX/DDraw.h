// Software DirectDraw: the display, off-screen system-memory surfaces,
// 16-bit z-buffers, a clipper bound to a window and 8-bit palettes.
// Published names, fields, flags and result codes.
#pragma once

#include "Platform/DirectX/Unknown.h"

struct IDirectDraw;
struct IDirectDrawSurface;
struct IDirectDrawClipper;
struct IDirectDrawPalette;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT MAKE_DDHRESULT(unsigned code) {
    return static_cast<HRESULT>(0x88760000u + code);
}
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = MAKE_DDHRESULT(10);
constexpr HRESULT DDERR_INVALIDCAPS = MAKE_DDHRESULT(100);
constexpr HRESULT DDERR_INVALIDOBJECT = MAKE_DDHRESULT(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MAKE_DDHRESULT(145);
constexpr HRESULT DDERR_INVALIDRECT = MAKE_DDHRESULT(150);
constexpr HRESULT DDERR_NOCLIPLIST = MAKE_DDHRESULT(205);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MAKE_DDHRESULT(212);
constexpr HRESULT DDERR_NOTFOUND = MAKE_DDHRESULT(255);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MAKE_DDHRESULT(380);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MAKE_DDHRESULT(410);
constexpr HRESULT DDERR_SURFACEBUSY = MAKE_DDHRESULT(430);
constexpr HRESULT DDERR_CANTLOCKSURFACE = MAKE_DDHRESULT(435);
constexpr HRESULT DDERR_SURFACELOST = MAKE_DDHRESULT(450);
constexpr HRESULT DDERR_SURFACENOTATTACHED = MAKE_DDHRESULT(460);
constexpr HRESULT DDERR_TOOBIGSIZE = MAKE_DDHRESULT(480);
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MAKE_DDHRESULT(510);
constexpr HRESULT DDERR_WASSTILLDRAWING = MAKE_DDHRESULT(540);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = MAKE_DDHRESULT(561);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MAKE_DDHRESULT(564);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MAKE_DDHRESULT(568);
constexpr HRESULT DDERR_NOHWND = MAKE_DDHRESULT(569);
constexpr HRESULT DDERR_NOPALETTEATTACHED = MAKE_DDHRESULT(572);
constexpr HRESULT DDERR_NOTLOCKED = MAKE_DDHRESULT(584);
constexpr HRESULT DDERR_NOTPALETTIZED = MAKE_DDHRESULT(589);

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// DDSURFACEDESC.dwFlags.
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_ZBUFFERBITDEPTH = 0x40;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

// DDSCAPS.dwCaps.
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PALETTE = 0x100;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS_ZBUFFER = 0x20000;

// DDPIXELFORMAT.dwFlags.
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
constexpr DWORD DDPF_RGB = 0x40;
constexpr DWORD DDPF_ZBUFFER = 0x400;

// Bit depths (D3DDEVICEDESC and friends).
constexpr DWORD DDBD_8 = 0x800;
constexpr DWORD DDBD_16 = 0x400;
constexpr DWORD DDBD_24 = 0x200;
constexpr DWORD DDBD_32 = 0x100;

// Palette capabilities.
constexpr DWORD DDPCAPS_4BIT = 0x1;
constexpr DWORD DDPCAPS_8BITENTRIES = 0x2;
constexpr DWORD DDPCAPS_8BIT = 0x4;
constexpr DWORD DDPCAPS_INITIALIZE = 0x8;
constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

// PALETTEENTRY.peFlags as Direct3D and GDI read them.
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE D3DPAL_FREE = 0x00;
constexpr BYTE D3DPAL_READONLY = 0x40;
constexpr BYTE D3DPAL_RESERVED = 0x80;

// Blt flags.
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_WAIT = 0x1000000;

// Lock flags.
constexpr DWORD DDLOCK_SURFACEMEMORYPTR = 0x0;
constexpr DWORD DDLOCK_WAIT = 0x1;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;  // also the z-buffer's depth for DDPF_ZBUFFER
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS {
    DWORD dwCaps;
};

// Callers set dwSize to DDSURFACEDESC_SIZE, the structure's published size
// on the 32-bit platform it was designed for; the stand-ins check that value.
constexpr DWORD DDSURFACEDESC_SIZE = 108;

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwZBufferBitDepth;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDBLTFX;

struct IDirectDrawClipper : IUnknown {
    // Binds the clipper to a window: blits through it land in that window's
    // client area and are clipped to it.
    virtual HRESULT SetHWnd(DWORD dwFlags, HWND hWnd) = 0;
    virtual HRESULT GetHWnd(HWND* lphWnd) = 0;
};

struct IDirectDrawPalette : IUnknown {
    virtual HRESULT GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries, PALETTEENTRY* lpEntries) = 0;
    virtual HRESULT SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                               PALETTEENTRY* lpEntries) = 0;
};

struct IDirectDrawSurface : IUnknown {
    // Attaches a z-buffer to a render surface. A second z-buffer gives
    // DDERR_SURFACEALREADYATTACHED.
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface* lpDDSAttachedSurface) = 0;
    // The attached surface whose caps include lpDDSCaps->dwCaps, AddRef'ed.
    virtual HRESULT GetAttachedSurface(DDSCAPS* lpDDSCaps, IDirectDrawSurface** lplpDDAttachedSurface) = 0;
    // Copies lpSrcRect of the source into lpDestRect of this surface, unscaled
    // when the sizes agree. On the primary surface the destination is in
    // screen coordinates and goes through the attached clipper's window.
    virtual HRESULT Blt(RECT* lpDestRect, IDirectDrawSurface* lpDDSrcSurface, RECT* lpSrcRect, DWORD dwFlags,
                        DDBLTFX* lpDDBltFx) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* lpDDSurfaceDesc) = 0;
    virtual HRESULT GetPalette(IDirectDrawPalette** lplpDDPalette) = 0;
    // DD_OK while the surface's memory is intact, else DDERR_SURFACELOST.
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;
    // Fills lpDDSurfaceDesc with the size, pitch, format and lpSurface.
    virtual HRESULT Lock(RECT* lpDestRect, DDSURFACEDESC* lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) = 0;
    virtual HRESULT Unlock(void* lpSurfaceData) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* lpDDClipper) = 0;
    virtual HRESULT SetPalette(IDirectDrawPalette* lpDDPalette) = 0;
};

struct IDirectDraw : IUnknown {
    virtual HRESULT CreateClipper(DWORD dwFlags, IDirectDrawClipper** lplpDDClipper, IUnknown* pUnkOuter) = 0;
    virtual HRESULT CreatePalette(DWORD dwFlags, PALETTEENTRY* lpColorTable,
                                  IDirectDrawPalette** lplpDDPalette, IUnknown* pUnkOuter) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC* lpDDSurfaceDesc, IDirectDrawSurface** lplpDDSurface,
                                  IUnknown* pUnkOuter) = 0;
    virtual HRESULT SetCooperativeLevel(HWND hWnd, DWORD dwFlags) = 0;
};

extern const IID IID_IDirectDraw;
extern const IID IID_IDirectDrawSurface;

// 0 and a new DirectDraw object for the active display (lpGUID null).
HRESULT DirectDrawCreate(GUID* lpGUID, IDirectDraw** lplpDD, IUnknown* pUnkOuter);
