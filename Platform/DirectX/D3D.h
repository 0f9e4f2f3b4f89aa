// Software Direct3D (the IDirect3D2 generation): device enumeration and the
// two software devices, "MMX Emulation" (the SIMD rasterizer) and "Ramp
// Emulation" (the portable scalar one). Published names and values.
#pragma once

#include <string>

#include "Platform/DirectX/DDraw.h"

struct IDirect3D2;
struct IDirect3DDevice2;

using D3DCOLORMODEL = DWORD;
constexpr D3DCOLORMODEL D3DCOLOR_MONO = 1;
constexpr D3DCOLORMODEL D3DCOLOR_RGB = 2;

constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;

constexpr HRESULT MAKE_D3DHRESULT(unsigned code) {
    return MAKE_DDHRESULT(code);
}
constexpr HRESULT D3DERR_INVALID_DEVICE = MAKE_D3DHRESULT(705);
constexpr HRESULT D3DERR_INITFAILED = MAKE_D3DHRESULT(706);

// D3DDEVICEDESC.dwFlags.
constexpr DWORD D3DDD_COLORMODEL = 0x1;
constexpr DWORD D3DDD_DEVICERENDERBITDEPTH = 0x80;
constexpr DWORD D3DDD_DEVICEZBUFFERBITDEPTH = 0x100;

// The fields of a device description that enumeration fills; a hardware
// description of a software device is all zero.
struct D3DDEVICEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    D3DCOLORMODEL dcmColorModel;
    DWORD dwDevCaps;
    DWORD dwDeviceRenderBitDepth;
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMaxBufferSize;
    DWORD dwMaxVertexCount;
};

using LPD3DENUMDEVICESCALLBACK = HRESULT (*)(GUID* lpGuid, LPSTR lpDeviceDescription, LPSTR lpDeviceName,
                                             D3DDEVICEDESC* lpD3DHWDeviceDesc,
                                             D3DDEVICEDESC* lpD3DHELDeviceDesc, LPVOID lpContext);

struct IDirect3DDevice2 : IUnknown {
    virtual HRESULT GetRenderTarget(IDirectDrawSurface** lplpRenderTarget) = 0;
};

struct IDirect3D2 : IUnknown {
    // One callback per device, in order, until the callback returns
    // D3DENUMRET_CANCEL.
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg) = 0;
    // A device of the kind named by rclsid rendering into lpDDS, which must be
    // a 3D-device surface with a z-buffer attached. The MMX device fails with
    // D3DERR_INITFAILED where the CPU or the build has no SIMD support.
    virtual HRESULT CreateDevice(REFCLSID rclsid, IDirectDrawSurface* lpDDS,
                                 IDirect3DDevice2** lplpD3DDevice) = 0;
};

extern const IID IID_IDirect3D2;
extern const IID IID_IDirect3DDevice2;
extern const GUID IID_IDirect3DRampDevice;
extern const GUID IID_IDirect3DRGBDevice;
extern const GUID IID_IDirect3DMMXDevice;

// --- Linux-side extensions --------------------------------------------------

// The longest side, in pixels, of a surface DirectDraw makes; a longer one
// fails with DDERR_TOOBIGSIZE.
inline constexpr int DxLargestSurfaceSide = 16384;

// Names the rasterizer the MMX device draws with, for measurements and bug
// reports: "scalar", "sse2", "avx2-gather", "avx2-loads" or "avx512", in
// place of the one a short trial picks when the first MMX device is made.
// Null or "" leaves the choice to the trial. Returns "" when done, otherwise
// one line saying why the name cannot be honoured; the trial then chooses.
std::string DxForceRasterizer(const char* name);
// The rasterizer the MMX device draws with and why, in one line, e.g.
// "avx2-loads, forced". Runs the trial first if it is to choose and has not.
std::string DxDescribeRasterizer();
