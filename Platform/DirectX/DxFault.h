// Test-only fault hook of the software DirectX services.
//
// Tests use it to reach the failure paths of the code above: make a named
// call fail with a given code, pretend a display depth, hand EnumDevices a
// list of devices of their own, or mark a surface lost. It also counts the
// calls, so a test can tell whether a call was made at all, and can watch
// them, to look at the code above at each step. Nothing outside tests arms
// it; unarmed, each checked call costs one counter increment and one test.
#pragma once

#include <functional>
#include <vector>

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/EnumeratedDevice.h"

enum class DxCall {
    DirectDrawCreate,
    DirectDraw_SetCooperativeLevel,
    DirectDraw_CreateSurface,
    DirectDraw_CreateClipper,
    DirectDraw_CreatePalette,
    DirectDraw_QueryDirect3D2,
    Clipper_SetHWnd,
    Surface_SetClipper,
    Surface_SetPalette,
    Surface_AddAttachedSurface,
    Surface_GetSurfaceDesc,
    Surface_Blt,
    Surface_IsLost,
    Surface_Restore,
    Surface_Lock,
    Direct3D_EnumDevices,
    Direct3D_CreateDevice,
    Direct3DRMCreate,
    RM_QueryDirect3DRM2,
    RM_CreateFrame,
    RM_CreateLightRGB,
    RM_CreateMeshBuilder,
    RM_LoadTexture,
    RM_CreateDeviceFromD3D,
    RM_CreateViewport,
    Viewport_SetBack,
    Viewport_Clear,
    Viewport_Render,
    Viewport_ForceUpdate,
    Device_Update,
    Frame_Move,
    Count
};

namespace DxFault {

// Makes `call` fail with `code` after letting `skip` calls through, for
// `times` calls (a negative count: for good).
void FailCall(DxCall call, HRESULT code, int skip = 0, int times = 1);

// What the stand-ins call at the top of each checked operation: DD_OK, or
// the armed failure code. Counts the call either way.
HRESULT Check(DxCall call);

// Calls `watch` at every checked call from now until Reset (an empty
// function: none), before the call goes on.
void WatchCalls(std::function<void(DxCall)> watch);

// How often `call` was checked since the last Reset.
int CallCount(DxCall call);

// The arguments of the last Viewport_ForceUpdate, for tests of restoration.
struct UpdateRect {
    DWORD x1, y1, x2, y2;
};
UpdateRect LastForceUpdate();
void RecordForceUpdate(UpdateRect rect);

// Bits per pixel the display pretends to have (0: the real depth). Reaches
// GetDeviceCaps(BITSPIXEL) and the primary surface's format alike.
void PretendDisplayDepth(int bitsPerPixel);

// Replaces the devices that EnumDevices reports; an empty list restores the
// real ones. Device creation still makes the real software devices.
void ReplaceDeviceList(const std::vector<EnumeratedDevice>& devices);
const std::vector<EnumeratedDevice>* ReplacedDeviceList();

// Makes the surface report DDERR_SURFACELOST until it is restored.
void MarkSurfaceLost(IDirectDrawSurface* surface);
bool IsMarkedLost(const void* surface);
// Forgets the mark (on Restore, and when the surface is freed, so that a new
// surface at the same address does not inherit it).
void ForgetLost(const void* surface);

// Disarms everything and zeroes the counters.
void Reset();

// What the services register so that the hook needs nothing of theirs: what
// a surface newly marked lost tells its owner, and what Reset undoes beyond
// the hook's own state.
void OnSurfaceMarkedLost(void (*noteMarkedLost)(IDirectDrawSurface*));
void OnReset(void (*reset)());

}  // namespace DxFault
