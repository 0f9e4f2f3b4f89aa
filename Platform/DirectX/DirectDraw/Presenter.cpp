#include "Platform/DirectX/DirectDraw/Presenter.h"

#include <SDL.h>

#include <algorithm>

namespace dx {
namespace {

bool Intersect(RECT* rect, const RECT& with) {
    rect->left = std::max(rect->left, with.left);
    rect->top = std::max(rect->top, with.top);
    rect->right = std::min(rect->right, with.right);
    rect->bottom = std::min(rect->bottom, with.bottom);
    return rect->left < rect->right && rect->top < rect->bottom;
}

// `dest` clipped, with `sourceArea` trimmed by the same amounts.
void ClipBoth(const RECT& dest, const RECT& clipped, RECT* sourceArea) {
    sourceArea->left += clipped.left - dest.left;
    sourceArea->top += clipped.top - dest.top;
    sourceArea->right -= dest.right - clipped.right;
    sourceArea->bottom -= dest.bottom - clipped.bottom;
}

SourcePixels At(const SourcePixels& source, const RECT& area) {
    SourcePixels moved = source;
    moved.bits +=
        static_cast<std::ptrdiff_t>(area.top) * source.pitch + area.left * BytesPerPixel(source.format);
    return moved;
}

int RefreshRateOf(SDL_Window* window) {
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0) return mode.refresh_rate;
    return 0;
}

}  // namespace

Presenter::Presenter(int width, int height, Format displayFormat)
    : width_(width), height_(height), image_(static_cast<std::size_t>(width) * height, 0u) {
    if (displayFormat != Format::Indexed8) return;
    std::array<PALETTEENTRY, 256> entries{};
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries.data());
    ReleaseDC(nullptr, screen);
    for (std::size_t i = 0; i < entries.size(); ++i)
        systemPalette_[i] = std::uint32_t{entries[i].peRed} << 16 | std::uint32_t{entries[i].peGreen} << 8 |
                            entries[i].peBlue;
}

HRESULT Presenter::Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY,
                           HWND window, bool pace) {
    const RECT dest{destX, destY, destX + (sourceArea.right - sourceArea.left),
                    destY + (sourceArea.bottom - sourceArea.top)};
    RECT visible = dest;
    if (window != nullptr) {
        RECT client{};
        POINT origin{0, 0};
        GetClientRect(window, &client);
        ClientToScreen(window, &origin);
        const RECT clientOnScreen{origin.x + client.left, origin.y + client.top, origin.x + client.right,
                                  origin.y + client.bottom};
        if (SDL_Window* sdlWindow = Win32HasRealDisplay(window) ? Win32SdlWindow(window) : nullptr)
            return PresentToWindow(source, sourceArea, dest, clientOnScreen, sdlWindow, pace);
        if (!Intersect(&visible, clientOnScreen)) return DD_OK;
    }
    if (!Intersect(&visible, RECT{0, 0, width_, height_})) return DD_OK;
    RECT area = sourceArea;
    ClipBoth(dest, visible, &area);
    const ScreenPixels screen{
        reinterpret_cast<std::uint8_t*>(image_.data() + static_cast<std::size_t>(visible.top) * width_ +
                                        visible.left),
        Pitch(), nullptr};
    ConvertBlock(At(source, area), screen, visible.right - visible.left, visible.bottom - visible.top);
    return DD_OK;
}

HRESULT Presenter::PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                                   const RECT& client, SDL_Window* window, bool pace) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) return DDERR_GENERIC;
    if (pace) {
        if (window != pacedWindow_) {
            pacer_.SetRefreshRate(RefreshRateOf(window));
            pacedWindow_ = window;
        }
        pacer_.Wait();
    }
    RECT visible = dest;
    if (!Intersect(&visible, client) ||
        !Intersect(&visible,
                   RECT{client.left, client.top, client.left + surface->w, client.top + surface->h}))
        return DD_OK;
    RECT area = sourceArea;
    ClipBoth(dest, visible, &area);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return DDERR_SURFACEBUSY;
    const int x = visible.left - client.left, y = visible.top - client.top;
    const int width = visible.right - visible.left, height = visible.bottom - visible.top;
    const ScreenPixels screen{static_cast<std::uint8_t*>(surface->pixels) +
                                  static_cast<std::ptrdiff_t>(y) * surface->pitch +
                                  x * surface->format->BytesPerPixel,
                              surface->pitch, surface->format};
    ConvertBlock(At(source, area), screen, width, height);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    const SDL_Rect update{x, y, width, height};
    return SDL_UpdateWindowSurfaceRects(window, &update, 1) == 0 ? DD_OK : DDERR_GENERIC;
}

}  // namespace dx
