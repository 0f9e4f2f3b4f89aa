// IDirectDrawClipper: remembers the window that blits to the primary land in.
#pragma once

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"

namespace dx {

class Clipper final : public ComObject<IDirectDrawClipper> {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT SetHWnd(DWORD dwFlags, HWND hWnd) override;
    HRESULT GetHWnd(HWND* lphWnd) override;

    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace dx
