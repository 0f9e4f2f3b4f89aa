// The Retained Mode device over a software IDirect3DDevice2: its render
// settings, and the surface and rasterizer that viewports draw with.
#pragma once

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

namespace rm {

class Device final : public dx::ComObject<IDirect3DRMDevice2> {
public:
    // D3DRM_OK and a device over `device`, whose render surface gives the size.
    static HRESULT Create(IDirect3D2* d3d, IDirect3DDevice2* device, Device** out);
    // The object behind a device of this library, or null.
    static Device* From(IDirect3DRMDevice* device);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    // One to three buffers.
    HRESULT SetBufferCount(DWORD count) override;
    DWORD GetBufferCount() override { return bufferCount_; }
    HRESULT SetDither(BOOL dither) override;
    BOOL GetDither() override { return dither_; }
    // D3DRMRENDER_FLAT or D3DRMRENDER_GOURAUD; others give D3DRMERR_BADVALUE.
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    D3DRMRENDERQUALITY GetQuality() override { return quality_; }
    HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) override;
    D3DRMTEXTUREQUALITY GetTextureQuality() override { return textureQuality_; }
    // A power of two from 1 to 256.
    HRESULT SetShades(DWORD shades) override;
    DWORD GetShades() override { return shades_; }
    // Viewports draw straight into the render surface, so the frame is
    // there once they are done; this completes it.
    HRESULT Update() override;
    DWORD GetWidth() override { return width_; }
    DWORD GetHeight() override { return height_; }
    HRESULT GetDirect3DDevice2(IDirect3DDevice2** device) override;

    IDirect3DDevice2* D3DDevice() const { return device_.get(); }
    raster::Shading Shading() const;
    raster::Filter Filter() const;

private:
    Device(IDirect3D2* d3d, IDirect3DDevice2* device, DWORD width, DWORD height);
    ~Device() override = default;

    dx::Ref<IDirect3D2> d3d_;
    dx::Ref<IDirect3DDevice2> device_;
    DWORD width_;
    DWORD height_;
    DWORD bufferCount_ = 1;
    BOOL dither_ = TRUE;
    D3DRMRENDERQUALITY quality_ = D3DRMRENDER_FLAT;
    D3DRMTEXTUREQUALITY textureQuality_ = D3DRMTEXTURE_NEAREST;
    DWORD shades_ = 32;
};

}  // namespace rm
