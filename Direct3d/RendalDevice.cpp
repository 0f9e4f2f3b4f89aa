// The 3D side: the Retained Mode object, device enumeration, the software
// Direct3D device with its z-buffer, the Retained Mode device and its
// render settings.
#include <cstdio>
#include <cstdlib>

#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

namespace {

// Site numbers of the failure reports, one per failing call.
constexpr RZXSite kRetainedModeDeviceSite = {784, "creating the Retained Mode device"};

// What the layer does where a failure has no report, only a trace line or none.
constexpr const char* kRetainedModeStep = "creating the Retained Mode object";
constexpr const char* kDirect3DStep = "getting Direct3D from DirectDraw";
constexpr const char* kZBufferStep = "creating the z-buffer";
constexpr const char* kDeviceStep = "creating the Direct3D device";

// Z-buffer depths the renderer can use on a hardware device.
constexpr DWORD kUsableZBufferDepths = DDBD_16 | DDBD_24 | DDBD_32;

void Announce(const char* format, const char* name, const GUID* guid) {
    char line[200];
    std::snprintf(line, sizeof line, format, name, static_cast<unsigned>(guid->Data1));
    OutputDebugStringA(line);
}

// Fewer colours on a palettized display: flat shading, nearest texels and
// few shades keep the ramp inside the 236 free entries.
void ApplyRenderSettings() {
    IDirect3DRMDevice2* device = RZXState.lpRMDevice;
    device->SetBufferCount(2);
    if (RZXState.bpp == 8) {
        device->SetDither(FALSE);
        device->SetQuality(D3DRMRENDER_FLAT);
        device->SetTextureQuality(D3DRMTEXTURE_NEAREST);
        device->SetShades(8);
    } else {
        device->SetShades(32);
        RZXState.lpD3DRM->SetDefaultTextureColors(64);
        RZXState.lpD3DRM->SetDefaultTextureShades(32);
        device->SetQuality(D3DRMRENDER_GOURAUD);
        device->SetDither(FALSE);
        device->SetTextureQuality(D3DRMTEXTURE_LINEAR);
    }
}

int ObtainRetainedMode() {
    HRESULT result = Direct3DRMCreate(&RZXState.lpD3DRMBase);
    if (SUCCEEDED(result)) {
        result = RZXState.lpD3DRMBase->QueryInterface(IID_IDirect3DRM2,
                                                      reinterpret_cast<void**>(&RZXState.lpD3DRM));
        ReleaseField(RZXState.lpD3DRMBase);
    }
    if (FAILED(result)) {
        RememberFailure(result, kRetainedModeStep);
        RZXCleanup();
        return 0;
    }
    return 1;
}

// The z-buffer takes the back surface's size. An attachment that fails, or
// a z-buffer that could not be made at all, leaves no usable render target.
int AttachZBuffer() {
    DDSURFACEDESC ddsd{};
    ddsd.dwSize = DDSURFACEDESC_SIZE;
    RZXState.lpDDSBack->GetSurfaceDesc(&ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    ddsd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    ddsd.dwZBufferBitDepth = 16;
    HRESULT result = RZXState.lpDD->CreateSurface(&ddsd, &RZXState.lpDDSZBuffer, nullptr);
    if (SUCCEEDED(result)) result = RZXState.lpDDSBack->AddAttachedSurface(RZXState.lpDDSZBuffer);
    if (FAILED(result)) {
        RememberFailure(result, kZBufferStep);
        return 0;
    }
    return 1;
}

}  // namespace

HRESULT RZXEnumDevice(GUID* lpGuid, char* /*lpDeviceDescription*/, char* lpDeviceName,
                      D3DDEVICEDESC* lpD3DHWDeviceDesc, D3DDEVICEDESC* lpD3DHELDeviceDesc, void* lpContext) {
    if (enumDone == 1) return D3DENUMRET_OK;
    auto* context = static_cast<RZXEnumContext*>(lpContext);

    if (lpD3DHWDeviceDesc->dcmColorModel & context->colorModel) {
        // A hardware device without a usable depth buffer is of no use, and
        // neither is its software side.
        if (lpD3DHWDeviceDesc->dwDeviceZBufferBitDepth & kUsableZBufferDepths) {
            Announce("RZX:HAL DeviceName :%s %x\n", lpDeviceName, lpGuid);
            enumDone = 1;
        }
    } else if ((lpD3DHELDeviceDesc->dcmColorModel & context->colorModel) && !context->helGuid) {
        Announce("RZX:DeviceName :%s %x\n", lpDeviceName, lpGuid);
        context->helGuid = lpGuid;
    }
    return D3DENUMRET_OK;
}

int RZXCreateDevice(int colorModel) {
    RZXEnumContext context{};
    context.colorModel = static_cast<D3DCOLORMODEL>(colorModel);

    HRESULT result = RZXState.lpDD->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&RZXState.lpD3D));
    if (FAILED(result)) {
        RememberFailure(result, kDirect3DStep);
        OutputDebugStringA("RZX:Error:Failed to QI Direct3D2 from DirectDraw\n");
        ReleaseField(RZXState.lpDD);
        return 0;
    }

    enumDone = 0;
    RZXState.lpD3D->EnumDevices(RZXEnumDevice, &context);

    // The device is always a software one, so no hardware identifier is kept.
    char line[200];
    std::snprintf(line, sizeof line, "RZX:DeviceGuid %x\n", 0u);
    OutputDebugStringA(line);

    if (!AttachZBuffer()) return 0;

    if (SUCCEEDED(RZXState.lpD3D->CreateDevice(IID_IDirect3DMMXDevice, RZXState.lpDDSBack,
                                               &RZXState.lpD3DDevice))) {
        OutputDebugStringA("RZX:Created Direct3DDevice with MMX(HEL)\n");
        return 1;
    }
    result = RZXState.lpD3D->CreateDevice(IID_IDirect3DRampDevice, RZXState.lpDDSBack, &RZXState.lpD3DDevice);
    if (SUCCEEDED(result)) {
        OutputDebugStringA("RZX:Created Direct3DDevice with RAMP(HEL)\n");
        return 1;
    }
    RememberFailure(result, kDeviceStep);
    OutputDebugStringA("RZX:Failed to Create Direct3DDevice!\n");
    RZXCleanup();
    std::exit(1);
}

int CreateD3DRM() {
    OutputDebugStringA("RZX:CreateD3DRM\n");

    if (!RZXState.lpD3DRM && !ObtainRetainedMode()) return 0;

    if (RZXState.bpp == 8) RZXPalettize();

    if (RZXState.lpD3DDevice) return 1;

    if (!RZXCreateDevice(static_cast<int>(RZXState.colorModel))) {
        RZXCleanup();
        OutputDebugStringA("RZX:Error:Fail to Direct3D create \n ");
        return 0;
    }

    HRESULT result =
        RZXState.lpD3DRM->CreateDeviceFromD3D(RZXState.lpD3D, RZXState.lpD3DDevice, &RZXState.lpRMDevice);
    if (FAILED(result)) return Fail(RZXRMError, result, kRetainedModeDeviceSite);

    ApplyRenderSettings();
    return 1;
}
