#include "Platform/DirectX/DirectDraw/SoftwareDevices.h"

namespace dx {
namespace {

EnumeratedDevice Describe(const GUID& guid, const char* description, const char* name, D3DCOLORMODEL model) {
    EnumeratedDevice device{guid, description, name, D3DDEVICEDESC{}, D3DDEVICEDESC{}};
    device.hardware.dwSize = sizeof(D3DDEVICEDESC);
    D3DDEVICEDESC& software = device.software;
    software.dwSize = sizeof(D3DDEVICEDESC);
    software.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH;
    software.dcmColorModel = model;
    software.dwDeviceRenderBitDepth = DDBD_8 | DDBD_16 | DDBD_32;
    software.dwDeviceZBufferBitDepth = DDBD_16;
    return device;
}

}  // namespace

std::vector<EnumeratedDevice> SoftwareDevices() {
    return {
        Describe(IID_IDirect3DRampDevice, "Software rasterizer, portable scalar code, mono lighting",
                 "Ramp Emulation", D3DCOLOR_MONO),
        Describe(IID_IDirect3DRGBDevice, "Software rasterizer, portable scalar code, RGB lighting",
                 "RGB Emulation", D3DCOLOR_RGB),
        Describe(IID_IDirect3DMMXDevice, "Software rasterizer, SIMD code, RGB lighting", "MMX Emulation",
                 D3DCOLOR_RGB),
    };
}

}  // namespace dx
