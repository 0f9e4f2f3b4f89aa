// IDirect3DDevice2 of the software devices: a rasterizer and the surface it
// draws into, with that surface's z-buffer.
#pragma once

#include <cstdint>
#include <memory>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/DirectDraw/Surface.h"
#include "Platform/DirectX/SoftwareDevice.h"

namespace dx {

class Device final : public ComObject<IDirect3DDevice2> {
public:
    // `renderTarget` has a z-buffer attached; 8-bit targets get a colour
    // lookup table here, once.
    Device(Surface* renderTarget, const raster::Rasterizer& rasterizer);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT GetRenderTarget(IDirectDrawSurface** lplpRenderTarget) override;

    const raster::Rasterizer& Rasterizer() const { return rasterizer_; }
    bool FillTarget(raster::Target* target);
    SoftwareSurfaceWrites Writes() const;
    Surface& RenderTarget() const { return *renderTarget_.get(); }

private:
    // Rebuilds the 8-bit lookup when the target's palette (or its entries)
    // changed since the last build.
    void RefreshColorToIndex();

    Ref<Surface> renderTarget_;
    const raster::Rasterizer& rasterizer_;
    std::unique_ptr<std::uint8_t[]> colorToIndex_;
    std::uint64_t builtFor_ = ~std::uint64_t{0};  // palette generation; 0: no palette
};

}  // namespace dx
