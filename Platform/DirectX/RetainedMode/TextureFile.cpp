#include "Platform/DirectX/RetainedMode/TextureFile.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Platform/DirectX/RetainedMode/BmpCheck.h"
#include "Platform/Posix/RegularFile.h"

namespace rm {

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Palette images: every index must name one of the file's own entries.
bool IndexedTexels(const SDL_Surface& surface, int paletteColors, std::uint32_t* out) {
    const SDL_Palette& palette = *surface.format->palette;
    const int usable = std::min(paletteColors, palette.ncolors);
    for (int y = 0; y < surface.h; ++y) {
        const auto* row =
            static_cast<const std::uint8_t*>(surface.pixels) + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        for (int x = 0; x < surface.w; ++x) {
            if (row[x] >= usable) return false;
            const SDL_Color& c = palette.colors[row[x]];
            *out++ = static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b;
        }
    }
    return true;
}

// One channel widened to 8 bits so that its full value gives 255.
std::uint32_t Widen(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t top = mask >> shift;
    return static_cast<std::uint32_t>((((pixel & mask) >> shift) * 255u + top / 2) / top);
}

// Direct colour images, whatever their masks.
bool DirectTexels(const SDL_Surface& surface, std::uint32_t* out) {
    const SDL_PixelFormat& format = *surface.format;
    const int bytes = format.BytesPerPixel;
    if (bytes < 2 || bytes > 4) return false;
    for (int y = 0; y < surface.h; ++y) {
        const auto* p =
            static_cast<const std::uint8_t*>(surface.pixels) + static_cast<std::ptrdiff_t>(y) * surface.pitch;
        for (int x = 0; x < surface.w; ++x, p += bytes) {
            std::uint32_t pixel = 0;
            for (int i = 0; i < bytes; ++i) pixel |= static_cast<std::uint32_t>(p[i]) << (8 * i);
            *out++ = Widen(pixel, format.Rmask) << 16 | Widen(pixel, format.Gmask) << 8 |
                     Widen(pixel, format.Bmask);
        }
    }
    return true;
}

// The whole file, when it is a regular file of a size a BMP may have and
// its headers check out, decoded by SDL. The file's bytes are given back
// before the caller converts the pixels, so a large texture is held twice at
// most, never three times.
HRESULT DecodeBmpFile(const char* path, BmpLayout* layout, SurfacePtr* surface) {
    if (path == nullptr) return D3DRMERR_FILENOTFOUND;
    std::string bytes;
    const posix::RegularFileRead read = posix::ReadRegularFile(path, kMaxBmpFileBytes, &bytes);
    if (!read.found) return D3DRMERR_FILENOTFOUND;
    if (read.error != 0) return D3DRMERR_BADFILE;
    if (!CheckBmp(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), layout))
        return D3DRMERR_BADFILE;
    surface->reset(SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!*surface || (*surface)->w != layout->width || (*surface)->h != layout->height)
        return D3DRMERR_BADFILE;
    return D3DRM_OK;
}

}  // namespace

HRESULT LoadTextureFile(const char* path, Texture** texture) {
    *texture = nullptr;
    BmpLayout layout;
    SurfacePtr surface;
    if (const HRESULT failure = DecodeBmpFile(path, &layout, &surface)) return failure;
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(layout.width) * layout.height);
    const bool converted = surface->format->palette != nullptr && surface->format->BitsPerPixel == 8
                               ? IndexedTexels(*surface, layout.paletteColors, texels.data())
                               : surface->format->palette == nullptr && DirectTexels(*surface, texels.data());
    if (!converted) return D3DRMERR_BADFILE;
    *texture = Texture::Create(std::move(texels), layout.width, layout.height);
    return D3DRM_OK;
}

}  // namespace rm
