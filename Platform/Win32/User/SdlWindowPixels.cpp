// A window's pixels over SDL's window surface, where there is no X11
// display to draw through (Wayland, SDL's dummy and off-screen drivers).
#include <cstdio>

#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

class SdlWindowPixels final : public WindowPixels {
public:
    explicit SdlWindowPixels(SDL_Window* window) : window_(window) {}

    int BitsPerPixel() override { return SdlBitsPerPixel(SDL_GetWindowPixelFormat(window_)); }

    Win32ImageStatus Image(Win32WindowImage* image) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (surface == nullptr) {
            if (!reported_)
                std::fprintf(stderr, "%s: cannot draw into the window: %s\n", Win32ProgramName(),
                             SDL_GetError());
            reported_ = true;
            return Win32ImageStatus::Unsupported;
        }
        const SDL_PixelFormat& format = *surface->format;
        const bool indexed = SDL_ISPIXELFORMAT_INDEXED(format.format);
        *image = Win32WindowImage{static_cast<BYTE*>(surface->pixels),
                                  surface->pitch,
                                  surface->w,
                                  surface->h,
                                  format.BytesPerPixel,
                                  indexed ? 0 : format.Rmask,
                                  indexed ? 0 : format.Gmask,
                                  indexed ? 0 : format.Bmask,
                                  indexed ? 0 : format.Amask,
                                  MemoryId(surface)};
        return Win32ImageStatus::Ready;
    }

    bool Show(const RECT* areas, int count, bool all) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (surface == nullptr) return false;
        SDL_Rect rects[kMostRects];
        int shown = 0;
        if (all || count > kMostRects) {
            rects[shown++] = SDL_Rect{0, 0, surface->w, surface->h};
        } else {
            for (int i = 0; i < count; ++i) {
                RECT clipped;
                if (AreaInImage(&areas[i], surface->w, surface->h, &clipped))
                    rects[shown++] = SDL_Rect{clipped.left, clipped.top, clipped.right - clipped.left,
                                              clipped.bottom - clipped.top};
            }
        }
        return shown == 0 || SDL_UpdateWindowSurfaceRects(window_, rects, shown) == 0;
    }

    bool Colours(const DWORD* xrgb, int count, DWORD* pixels) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (surface == nullptr) return false;
        for (int i = 0; i < count; ++i)
            pixels[i] = SDL_MapRGB(surface->format, static_cast<Uint8>(xrgb[i] >> 16),
                                   static_cast<Uint8>(xrgb[i] >> 8), static_cast<Uint8>(xrgb[i]));
        return true;
    }

    bool Paint(BYTE red, BYTE green, BYTE blue) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (surface == nullptr) return false;
        NoteLost();
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, red, green, blue));
        return SDL_UpdateWindowSurface(window_) == 0;
    }

private:
    static constexpr int kMostRects = 8;

    // SDL makes the window's surface anew when the window's size changes.
    std::uint64_t MemoryId(const SDL_Surface* surface) {
        if (surface != surface_ || surface->w != width_ || surface->h != height_) {
            surface_ = surface;
            width_ = surface->w;
            height_ = surface->h;
            memoryId_ = NewImageMemoryId();
        }
        return memoryId_;
    }

    SDL_Window* window_;
    const SDL_Surface* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::uint64_t memoryId_ = 0;
    bool reported_ = false;
};

}  // namespace

std::unique_ptr<WindowPixels> MakeSdlWindowPixels(SDL_Window* window) {
    return std::make_unique<SdlWindowPixels>(window);
}

// Bits per pixel as the pixels lie in memory: XRGB8888 counts 32, RGB565 16.
int SdlBitsPerPixel(Uint32 format) {
    if (format == SDL_PIXELFORMAT_UNKNOWN) return 0;
    if (SDL_ISPIXELFORMAT_INDEXED(format)) return SDL_BITSPERPIXEL(format);
    return SDL_BYTESPERPIXEL(format) * 8;
}

}  // namespace win32user
