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

    Win32FrameStatus Frame(Win32WindowFrame* frame) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (surface == nullptr) {
            if (!reported_)
                std::fprintf(stderr, "%s: cannot draw into the window: %s\n", Win32ProgramName(),
                             SDL_GetError());
            reported_ = true;
            return Win32FrameStatus::Unsupported;
        }
        const SDL_PixelFormat& format = *surface->format;
        const bool indexed = SDL_ISPIXELFORMAT_INDEXED(format.format);
        *frame = Win32WindowFrame{static_cast<BYTE*>(surface->pixels),
                                  surface->pitch,
                                  surface->w,
                                  surface->h,
                                  format.BytesPerPixel,
                                  indexed ? 0 : format.Rmask,
                                  indexed ? 0 : format.Gmask,
                                  indexed ? 0 : format.Bmask,
                                  indexed ? 0 : format.Amask};
        return Win32FrameStatus::Ready;
    }

    bool Show(const RECT* area) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        RECT shown;
        if (surface == nullptr) return false;
        if (!AreaInFrame(area, surface->w, surface->h, &shown)) return true;
        const SDL_Rect rect{shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top};
        return SDL_UpdateWindowSurfaceRects(window_, &rect, 1) == 0;
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
    SDL_Window* window_;
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
