// The viewport and the per-frame work: restore, render, present.
#include <cstdio>

#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

namespace {

// Site numbers of the failure reports, one per failing call.
constexpr RZXSite kCreateViewportSite = {1269, "creating the viewport"};
constexpr RZXSite kBackPlaneSite = {1273, "setting the viewport's back plane"};
constexpr RZXSite kClearSite = {1241, "clearing the viewport"};
constexpr RZXSite kRenderSite = {1242, "rendering the scene"};
constexpr RZXSite kDeviceUpdateSite = {1243, "updating the device"};
constexpr RZXSite kPresentSite = {1219, "copying the frame to the window"};

// Whatever was drawn into the viewport since the loss must be drawn again.
void RestoreIfLost(IDirectDrawSurface* surface) {
    if (surface->IsLost() == DD_OK) return;
    surface->Restore();
    RZXState.lpRMViewport->ForceUpdate(0, 0, static_cast<DWORD>(RZXState.width),
                                       static_cast<DWORD>(RZXState.height));
}

}  // namespace

int RZXViewport(IDirect3DRMFrame* camera) {
    OutputDebugStringA("RZX:RZXViewport\n");
    char line[200];
    std::snprintf(line, sizeof line, "RZX:Viewport width:%d height:%d\n", RZXState.width, RZXState.height);
    OutputDebugStringA(line);

    HRESULT result = RZXState.lpD3DRM->CreateViewport(
        RZXState.lpRMDevice, camera, 0, 0, static_cast<DWORD>(RZXState.width),
        static_cast<DWORD>(RZXState.height), &RZXState.lpRMViewport);
    if (FAILED(result)) return Fail(RZXRMError, result, kCreateViewportSite);
    OutputDebugStringA("phase 3\n");

    result = RZXState.lpRMViewport->SetBack(5000.0f);
    if (FAILED(result)) return Fail(RZXRMError, result, kBackPlaneSite);
    OutputDebugStringA("phase 4\n");
    return 1;
}

int RZXRender(IDirect3DRMFrame* scene) {
    if (!RZXState.active || !scene) return 0;

    HRESULT result = RZXState.lpRMViewport->Clear();
    if (FAILED(result)) return Fail(RZXRMError, result, kClearSite);
    result = RZXState.lpRMViewport->Render(scene);
    if (FAILED(result)) return Fail(RZXRMError, result, kRenderSite);
    result = RZXState.lpRMDevice->Update();
    if (FAILED(result)) return Fail(RZXRMError, result, kDeviceUpdateSite);
    return 1;
}

int RZXFlip() {
    if (!RZXState.active) return 0;

    RECT source{0, 0, RZXState.width, RZXState.height};
    HRESULT result =
        RZXState.lpDDSPrimary->Blt(&RZXState.rcScreen, RZXState.lpDDSBack, &source, DDBLT_WAIT, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kPresentSite);
    return 1;
}

int RZXRestore() {
    if (!RZXState.active || !RZXState.lpDDSPrimary) return 1;

    // The back surface lives in system memory and is never taken away.
    RestoreIfLost(RZXState.lpDDSPrimary);
    if (RZXState.lpDDSZBuffer) RestoreIfLost(RZXState.lpDDSZBuffer);
    return 1;
}
