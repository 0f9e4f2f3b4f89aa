#include "Platform/DirectX/DirectDraw/Device.h"

#include <cstring>

#include "Platform/DirectX/Rects.h"

namespace dx {
namespace {

constexpr std::size_t kColorToIndexSize = 32768;

}  // namespace

Device::Device(Surface* renderTarget, const raster::Rasterizer& rasterizer) : rasterizer_(rasterizer) {
    if (renderTarget->PixelFormat() == Format::Indexed8)
        colorToIndex_ = std::make_unique<std::uint8_t[]>(kColorToIndexSize);
    renderTarget_.Reset(renderTarget);
}

HRESULT Device::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject, IID_IDirect3DDevice2);
}

HRESULT Device::GetRenderTarget(IDirectDrawSurface** lplpRenderTarget) {
    if (lplpRenderTarget == nullptr) return DDERR_INVALIDPARAMS;
    renderTarget_->AddRef();
    *lplpRenderTarget = renderTarget_.get();
    return DD_OK;
}

bool Device::FillTarget(raster::Target* target) {
    Surface& surface = *renderTarget_.get();
    const Surface* zbuffer = surface.ZBuffer();
    if (zbuffer == nullptr || surface.Lost() || zbuffer->Lost()) return false;
    surface.ReadyForWrite();
    if (colorToIndex_) RefreshColorToIndex();
    *target = raster::Target{surface.Bits(),
                             surface.Pitch(),
                             reinterpret_cast<std::uint16_t*>(zbuffer->Bits()),
                             zbuffer->Pitch(),
                             surface.Width(),
                             surface.Height(),
                             RasterFormat(surface.PixelFormat()),
                             colorToIndex_.get()};
    return true;
}

SoftwareSurfaceWrites Device::Writes() const {
    const Surface& surface = *renderTarget_.get();
    const Surface* zbuffer = surface.ZBuffer();
    const Palette* palette = surface.AttachedPalette();
    return SoftwareSurfaceWrites{
        surface.ForeignWrites() + (zbuffer != nullptr ? zbuffer->ForeignWrites() : 0), surface.Draws(),
        palette != nullptr ? palette->Generation() : 0,
        zbuffer != nullptr ? Union(surface.LastForeignWrite(), zbuffer->LastForeignWrite())
                           : surface.LastForeignWrite()};
}

void Device::RefreshColorToIndex() {
    const Palette* palette = renderTarget_->AttachedPalette();
    const std::uint64_t generation = palette != nullptr ? palette->Generation() : 0;
    if (generation == builtFor_) return;
    builtFor_ = generation;
    if (palette == nullptr) {
        std::memset(colorToIndex_.get(), 0, kColorToIndexSize);  // no colours: all black
        return;
    }
    // Read-only and reserved-for-animation entries keep their colours while
    // we draw, so they may be drawn with; only D3DPAL_RESERVED ones are
    // someone else's.
    std::uint32_t xrgb[256];
    bool usable[256];
    palette->ToXrgb(xrgb);
    for (std::size_t i = 0; i < 256; ++i) usable[i] = (palette->Entries()[i].peFlags & D3DPAL_RESERVED) == 0;
    raster::BuildColorToIndex(xrgb, usable, colorToIndex_.get());
}

}  // namespace dx

const raster::Rasterizer& SoftwareDeviceRasterizer(IDirect3DDevice2* device) {
    const auto* software = dynamic_cast<const dx::Device*>(device);
    return software != nullptr ? software->Rasterizer() : raster::ScalarRasterizer();
}

bool SoftwareDeviceTarget(IDirect3DDevice2* device, raster::Target* target) {
    auto* software = dynamic_cast<dx::Device*>(device);
    return software != nullptr && target != nullptr && software->FillTarget(target);
}

raster::Target SoftwareTargetPart(const raster::Target& target, const RECT& area) {
    raster::Target part = target;
    part.color = static_cast<std::uint8_t*>(target.color) +
                 static_cast<std::ptrdiff_t>(area.top) * target.colorPitch +
                 static_cast<std::ptrdiff_t>(area.left) * dx::BytesPerPixel(target.format);
    part.depth = reinterpret_cast<std::uint16_t*>(reinterpret_cast<std::uint8_t*>(target.depth) +
                                                  static_cast<std::ptrdiff_t>(area.top) * target.depthPitch) +
                 area.left;
    part.width = static_cast<int>(area.right - area.left);
    part.height = static_cast<int>(area.bottom - area.top);
    return part;
}

bool SoftwareDeviceWrites(IDirect3DDevice2* device, SoftwareSurfaceWrites* writes) {
    const auto* software = dynamic_cast<const dx::Device*>(device);
    if (software == nullptr || writes == nullptr) return false;
    *writes = software->Writes();
    return true;
}

void SoftwareDeviceDamage(IDirect3DDevice2* device, const RECT& rect) {
    if (const auto* software = dynamic_cast<const dx::Device*>(device))
        software->RenderTarget().NoteDrawn(rect);
}
