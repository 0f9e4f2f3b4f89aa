#include "Platform/DirectX/RetainedMode/Texture.h"

#include <cstring>
#include <utility>

namespace rm {

namespace {

bool SideFits(int side) {
    return side >= 1 && side <= kMaxTextureSide;
}

}  // namespace

Texture::Texture(std::vector<std::uint32_t> texels, int width, int height)
    : texels_(std::move(texels)),
      image_{width,          height,  1,           1,           32,          TRUE, width * 4,
             texels_.data(), nullptr, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0u},
      raster_{texels_.data(), width, height} {}

Texture* Texture::Create(std::vector<std::uint32_t> texels, int width, int height) {
    if (!SideFits(width) || !SideFits(height)) return nullptr;
    if (texels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return nullptr;
    return new Texture(std::move(texels), width, height);
}

Texture* Texture::FromImage(const D3DRMIMAGE& image) {
    if (!SideFits(image.width) || !SideFits(image.height)) return nullptr;
    if (image.depth != 32 || image.rgb == FALSE || image.buffer1 == nullptr) return nullptr;
    if (image.bytes_per_line < image.width * 4) return nullptr;
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(image.width) * image.height);
    const auto* row = static_cast<const unsigned char*>(image.buffer1);
    for (int y = 0; y < image.height; ++y, row += image.bytes_per_line) {
        std::uint32_t* out = texels.data() + static_cast<std::size_t>(y) * image.width;
        std::memcpy(out, row, static_cast<std::size_t>(image.width) * 4);
        for (int x = 0; x < image.width; ++x) out[x] &= 0x00FFFFFFu;
    }
    return new Texture(std::move(texels), image.width, image.height);
}

Texture* Texture::From(IDirect3DRMTexture* texture) {
    return dynamic_cast<Texture*>(texture);
}

HRESULT Texture::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

}  // namespace rm
