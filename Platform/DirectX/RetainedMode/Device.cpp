#include "Platform/DirectX/RetainedMode/Device.h"

#include "Platform/DirectX/DxFault.h"

namespace rm {

Device::Device(IDirect3D2* d3d, IDirect3DDevice2* device, DWORD width, DWORD height)
    : d3d_(d3d), device_(device), width_(width), height_(height) {}

HRESULT Device::Create(IDirect3D2* d3d, IDirect3DDevice2* device, Device** out) {
    *out = nullptr;
    if (d3d == nullptr || device == nullptr) return D3DRMERR_BADDEVICE;
    IDirectDrawSurface* target = nullptr;
    if (const HRESULT result = device->GetRenderTarget(&target)) return result;
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    const HRESULT result = target->GetSurfaceDesc(&desc);
    target->Release();
    if (result != DD_OK) return result;
    *out = new Device(d3d, device, desc.dwWidth, desc.dwHeight);
    return D3DRM_OK;
}

Device* Device::From(IDirect3DRMDevice* device) {
    return dynamic_cast<Device*>(device);
}

HRESULT Device::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT Device::SetBufferCount(DWORD count) {
    if (count < 1 || count > 3) return D3DRMERR_BADVALUE;
    bufferCount_ = count;
    return D3DRM_OK;
}

HRESULT Device::SetDither(BOOL dither) {
    dither_ = dither != FALSE ? TRUE : FALSE;
    return D3DRM_OK;
}

HRESULT Device::SetQuality(D3DRMRENDERQUALITY quality) {
    if (quality != D3DRMRENDER_FLAT && quality != D3DRMRENDER_GOURAUD) return D3DRMERR_BADVALUE;
    quality_ = quality;
    return D3DRM_OK;
}

HRESULT Device::SetTextureQuality(D3DRMTEXTUREQUALITY quality) {
    if (quality != D3DRMTEXTURE_NEAREST && quality != D3DRMTEXTURE_LINEAR) return D3DRMERR_BADVALUE;
    textureQuality_ = quality;
    return D3DRM_OK;
}

HRESULT Device::SetShades(DWORD shades) {
    if (shades < 1 || shades > 256 || (shades & (shades - 1)) != 0) return D3DRMERR_BADVALUE;
    shades_ = shades;
    return D3DRM_OK;
}

HRESULT Device::Update() {
    return DxFault::Check(DxCall::Device_Update);
}

HRESULT Device::GetDirect3DDevice2(IDirect3DDevice2** device) {
    if (device == nullptr) return D3DRMERR_BADVALUE;
    *device = device_.get();
    (*device)->AddRef();
    return D3DRM_OK;
}

raster::Shading Device::Shading() const {
    return quality_ == D3DRMRENDER_GOURAUD ? raster::Shading::Gouraud : raster::Shading::Flat;
}

raster::Filter Device::Filter() const {
    return textureQuality_ == D3DRMTEXTURE_LINEAR ? raster::Filter::Bilinear : raster::Filter::Nearest;
}

}  // namespace rm
