#include "Platform/DirectX/DirectDraw/DirectDrawObject.h"

#include <new>

#include "Platform/DirectX/DirectDraw/Clipper.h"
#include "Platform/DirectX/DirectDraw/Direct3DObject.h"
#include "Platform/DirectX/DirectDraw/Display.h"
#include "Platform/DirectX/DirectDraw/Palette.h"
#include "Platform/DirectX/DirectDraw/Surface.h"
#include "Platform/DirectX/DirectDraw/SurfaceLayout.h"
#include "Platform/DirectX/DxFault.h"

namespace dx {

HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr || !(riid == IID_IDirect3D2)) return Answer(riid, ppvObject, IID_IDirectDraw);
    *ppvObject = nullptr;
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDraw_QueryDirect3D2)) return fault;
    auto* direct3d = new (std::nothrow) Direct3DObject(this);
    if (direct3d == nullptr) return E_OUTOFMEMORY;
    *ppvObject = static_cast<IDirect3D2*>(direct3d);
    return S_OK;
}

HRESULT DirectDrawObject::CreateClipper(DWORD, IDirectDrawClipper** lplpDDClipper, IUnknown* pUnkOuter) {
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDraw_CreateClipper)) return fault;
    if (lplpDDClipper == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDClipper = nullptr;
    if (pUnkOuter != nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDClipper = new (std::nothrow) Clipper();
    return *lplpDDClipper != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}

HRESULT DirectDrawObject::CreatePalette(DWORD dwFlags, PALETTEENTRY* lpColorTable,
                                        IDirectDrawPalette** lplpDDPalette, IUnknown* pUnkOuter) {
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDraw_CreatePalette)) return fault;
    if (lplpDDPalette == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDPalette = nullptr;
    if (lpColorTable == nullptr || pUnkOuter != nullptr) return DDERR_INVALIDPARAMS;
    if (!(dwFlags & DDPCAPS_8BIT)) return DDERR_UNSUPPORTED;  // 256-entry palettes only
    *lplpDDPalette = new (std::nothrow) Palette(lpColorTable);
    return *lplpDDPalette != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}

HRESULT DirectDrawObject::CreateSurface(DDSURFACEDESC* lpDDSurfaceDesc, IDirectDrawSurface** lplpDDSurface,
                                        IUnknown* pUnkOuter) {
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDraw_CreateSurface)) return fault;
    if (lplpDDSurface == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDSurface = nullptr;
    if (lpDDSurfaceDesc == nullptr || pUnkOuter != nullptr) return DDERR_INVALIDPARAMS;
    SurfaceLayout layout;
    if (const HRESULT result = ReadSurfaceDesc(*lpDDSurfaceDesc, DisplayFormat(), &layout)) return result;
    if (layout.kind == SurfaceKind::Primary) {
        if (!cooperative_) return DDERR_NOCOOPERATIVELEVELSET;
        if (primary_ != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        if (!DesktopSize(&layout.width, &layout.height)) return DDERR_GENERIC;
    }
    Surface* surface = nullptr;
    if (const HRESULT result = Surface::Create(this, layout, &surface)) return result;
    if (layout.kind == SurfaceKind::Primary) primary_ = surface;
    *lplpDDSurface = surface;
    return DD_OK;
}

HRESULT DirectDrawObject::SetCooperativeLevel(HWND, DWORD dwFlags) {
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDraw_SetCooperativeLevel)) return fault;
    if (dwFlags & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_UNSUPPORTED;
    if (!(dwFlags & DDSCL_NORMAL)) return DDERR_INVALIDPARAMS;
    cooperative_ = true;
    return DD_OK;
}

void DirectDrawObject::ForgetPrimary(const Surface* primary) {
    if (primary_ == primary) primary_ = nullptr;
}

}  // namespace dx

HRESULT DirectDrawCreate(GUID* lpGUID, IDirectDraw** lplpDD, IUnknown* pUnkOuter) {
    if (const HRESULT fault = DxFault::Check(DxCall::DirectDrawCreate)) return fault;
    if (lplpDD == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDD = nullptr;
    if (pUnkOuter != nullptr) return DDERR_INVALIDPARAMS;
    if (lpGUID != nullptr) return DDERR_INVALIDDIRECTDRAWGUID;  // only the active display
    *lplpDD = new (std::nothrow) dx::DirectDrawObject();
    return *lplpDD != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}
