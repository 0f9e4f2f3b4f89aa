// IDirectDraw: the factory of surfaces, clippers and palettes, and the way
// to Direct3D.
#pragma once

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"

namespace dx {

class Surface;

class DirectDrawObject final : public ComObject<IDirectDraw> {
public:
    // Also hands out IID_IDirect3D2.
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT CreateClipper(DWORD dwFlags, IDirectDrawClipper** lplpDDClipper, IUnknown* pUnkOuter) override;
    HRESULT CreatePalette(DWORD dwFlags, PALETTEENTRY* lpColorTable, IDirectDrawPalette** lplpDDPalette,
                          IUnknown* pUnkOuter) override;
    HRESULT CreateSurface(DDSURFACEDESC* lpDDSurfaceDesc, IDirectDrawSurface** lplpDDSurface,
                          IUnknown* pUnkOuter) override;
    // Windowed (DDSCL_NORMAL) only: display modes never change.
    HRESULT SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;

    // Called by the primary surface when it is freed.
    void ForgetPrimary(const Surface* primary);

private:
    bool cooperative_ = false;
    Surface* primary_ = nullptr;  // not a reference: the primary holds one on us
};

}  // namespace dx
