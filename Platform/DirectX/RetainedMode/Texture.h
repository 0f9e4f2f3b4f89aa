// Textures: an image of 0x00RRGGBB texels, rows top first, that faces show.
#pragma once

#include <cstdint>
#include <vector>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

namespace rm {

// The largest width and height a texture may have, in texels.
constexpr int kMaxTextureSide = 4096;

class Texture final : public dx::ComObject<IDirect3DRMTexture2> {
public:
    // Takes `texels`: width * height of them, sides 1..kMaxTextureSide.
    static Texture* Create(std::vector<std::uint32_t> texels, int width, int height);
    // A copy of a 32-bit RGB image; null when the image is not one.
    static Texture* FromImage(const D3DRMIMAGE& image);
    // The object behind a texture of this library, or null.
    static Texture* From(IDirect3DRMTexture* texture);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    D3DRMIMAGE* GetImage() override { return &image_; }

    const raster::Texture& Raster() const { return raster_; }

private:
    Texture(std::vector<std::uint32_t> texels, int width, int height);
    ~Texture() override = default;

    std::vector<std::uint32_t> texels_;
    D3DRMIMAGE image_;
    raster::Texture raster_;
};

}  // namespace rm
