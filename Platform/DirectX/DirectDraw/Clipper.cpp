#include "Platform/DirectX/DirectDraw/Clipper.h"

#include "Platform/DirectX/DxFault.h"

namespace dx {

HRESULT Clipper::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT Clipper::SetHWnd(DWORD, HWND hWnd) {
    if (const HRESULT fault = DxFault::Check(DxCall::Clipper_SetHWnd)) return fault;
    window_ = hWnd;
    return DD_OK;
}

HRESULT Clipper::GetHWnd(HWND* lphWnd) {
    if (lphWnd == nullptr) return DDERR_INVALIDPARAMS;
    *lphWnd = window_;
    return DD_OK;
}

}  // namespace dx
