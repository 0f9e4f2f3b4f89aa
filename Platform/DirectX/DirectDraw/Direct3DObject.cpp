#include "Platform/DirectX/DirectDraw/Direct3DObject.h"

#include <new>

#include "Platform/DirectX/DirectDraw/Device.h"
#include "Platform/DirectX/DirectDraw/DirectDrawObject.h"
#include "Platform/DirectX/DirectDraw/SoftwareDevices.h"
#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/Raster/SimdPathChoice.h"

namespace dx {
namespace {

// The rasterizer behind a device identifier, or the reason there is none.
HRESULT RasterizerFor(REFCLSID rclsid, const raster::Rasterizer** rasterizer) {
    if (rclsid == IID_IDirect3DMMXDevice) {
        *rasterizer = raster::SimdRasterizer();
        return *rasterizer != nullptr ? DD_OK : D3DERR_INITFAILED;
    }
    if (rclsid == IID_IDirect3DRampDevice || rclsid == IID_IDirect3DRGBDevice) {
        *rasterizer = &raster::ScalarRasterizer();
        return DD_OK;
    }
    return D3DERR_INVALID_DEVICE;
}

}  // namespace

Direct3DObject::Direct3DObject(DirectDrawObject* directDraw) {
    directDraw_.Reset(directDraw);
}

HRESULT Direct3DObject::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject, IID_IDirect3D2);
}

HRESULT Direct3DObject::EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg) {
    if (const HRESULT fault = DxFault::Check(DxCall::Direct3D_EnumDevices)) return fault;
    if (lpEnumDevicesCallback == nullptr) return DDERR_INVALIDPARAMS;
    const std::vector<EnumeratedDevice>* replaced = DxFault::ReplacedDeviceList();
    enumerated_ = replaced != nullptr ? *replaced : SoftwareDevices();
    for (EnumeratedDevice& device : enumerated_) {
        if (lpEnumDevicesCallback(&device.guid, device.description.data(), device.name.data(),
                                  &device.hardware, &device.software, lpUserArg) == D3DENUMRET_CANCEL)
            break;
    }
    return DD_OK;
}

HRESULT Direct3DObject::CreateDevice(REFCLSID rclsid, IDirectDrawSurface* lpDDS,
                                     IDirect3DDevice2** lplpD3DDevice) {
    if (const HRESULT fault = DxFault::Check(DxCall::Direct3D_CreateDevice)) return fault;
    if (lplpD3DDevice == nullptr || lpDDS == nullptr) return DDERR_INVALIDPARAMS;
    *lplpD3DDevice = nullptr;
    auto* surface = dynamic_cast<Surface*>(lpDDS);
    if (surface == nullptr) return DDERR_INVALIDOBJECT;
    if (!(surface->Caps() & DDSCAPS_3DDEVICE) || surface->IsPrimary() ||
        surface->PixelFormat() == Format::Z16)
        return DDERR_INVALIDCAPS;
    if (surface->ZBuffer() == nullptr) return DDERR_SURFACENOTATTACHED;  // the devices always depth-test
    if (surface->Lost()) return DDERR_SURFACELOST;
    const raster::Rasterizer* rasterizer = nullptr;
    if (const HRESULT result = RasterizerFor(rclsid, &rasterizer)) return result;
    try {
        *lplpD3DDevice = new Device(surface, *rasterizer);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}

}  // namespace dx
