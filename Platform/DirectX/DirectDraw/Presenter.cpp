#include "Platform/DirectX/DirectDraw/Presenter.h"

#include <SDL.h>

#include <algorithm>

#include "Platform/DirectX/Rects.h"

namespace dx {
namespace {

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

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The window's note of the presenter that last wrote to it: another one in
// between means the previous presentation may be gone. (The screen image
// belongs to its presenter; nobody else writes it.)
constexpr char kLastPresenter[] = "dx.lastPresenter";

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

bool Presenter::Placement::operator==(const Placement& other) const {
    return window == other.window && SameRect(client, other.client) && windowSurface == other.windowSurface &&
           surfaceWidth == other.surfaceWidth && surfaceHeight == other.surfaceHeight &&
           source == other.source && SameRect(sourceArea, other.sourceArea) && SameRect(dest, other.dest);
}

HRESULT Presenter::Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY,
                           HWND window, bool pace, const SourceChange& change) {
    const RECT dest{destX, destY, destX + (sourceArea.right - sourceArea.left),
                    destY + (sourceArea.bottom - sourceArea.top)};
    Placement placement{window, RECT{}, nullptr, 0, 0, change.surface, sourceArea, dest};
    RECT visible = dest;
    bool shown = true;
    if (window != nullptr) {
        RECT client{};
        POINT origin{0, 0};
        GetClientRect(window, &client);
        ClientToScreen(window, &origin);
        placement.client = RECT{origin.x + client.left, origin.y + client.top, origin.x + client.right,
                                origin.y + client.bottom};
        if (SDL_Window* sdlWindow = Win32HasRealDisplay(window) ? Win32SdlWindow(window) : nullptr)
            return PresentToWindow(source, sourceArea, dest, sdlWindow, pace, change, placement);
        shown = Intersect(&visible, placement.client);
    }
    if (shown && Intersect(&visible, RECT{0, 0, width_, height_})) {
        for (RECT part : ChangedParts(placement, source, change.damage, true).parts) {
            if (!Intersect(&part, visible)) continue;
            RECT area = sourceArea;
            ClipBoth(dest, part, &area);
            const ScreenPixels screen{
                reinterpret_cast<std::uint8_t*>(image_.data() + static_cast<std::size_t>(part.top) * width_ +
                                                part.left),
                Pitch(), nullptr};
            ConvertBlock(At(source, area), screen, part.right - part.left, part.bottom - part.top);
        }
    }
    Remember(placement, source, nullptr);
    return DD_OK;
}

HRESULT Presenter::PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                                   SDL_Window* window, bool pace, const SourceChange& change,
                                   Placement placement) {
    // A presentation that fails part way leaves the window in doubt.
    const auto fail = [this](HRESULT result) {
        presented_ = false;
        return result;
    };
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) return fail(DDERR_GENERIC);
    if (pace) {
        if (window != pacedWindow_) {
            pacer_.SetRefreshRate(RefreshRateOf(window));
            pacedWindow_ = window;
        }
        pacer_.Wait();
    }
    placement.windowSurface = surface;
    placement.surfaceWidth = surface->w;
    placement.surfaceHeight = surface->h;
    const RECT& client = placement.client;
    RECT visible = dest;
    if (!Intersect(&visible, client) ||
        !Intersect(&visible,
                   RECT{client.left, client.top, client.left + surface->w, client.top + surface->h})) {
        Remember(placement, source, window);
        return DD_OK;
    }
    const DamageRects parts =
        ChangedParts(placement, source, change.damage, SDL_GetWindowData(window, kLastPresenter) == this);
    for (RECT part : parts.parts) {
        if (!Intersect(&part, visible)) continue;
        RECT area = sourceArea;
        ClipBoth(dest, part, &area);
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return fail(DDERR_SURFACEBUSY);
        const ScreenPixels screen{static_cast<std::uint8_t*>(surface->pixels) +
                                      static_cast<std::ptrdiff_t>(part.top - client.top) * surface->pitch +
                                      (part.left - client.left) * surface->format->BytesPerPixel,
                                  surface->pitch, surface->format};
        ConvertBlock(At(source, area), screen, part.right - part.left, part.bottom - part.top);
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    }
    // The whole rectangle, so that the display shows what the window surface
    // holds even where it had been covered.
    const SDL_Rect update{visible.left - client.left, visible.top - client.top, visible.right - visible.left,
                          visible.bottom - visible.top};
    if (SDL_UpdateWindowSurfaceRects(window, &update, 1) != 0) return fail(DDERR_GENERIC);
    Remember(placement, source, window);
    return DD_OK;
}

DamageRects Presenter::ChangedParts(const Placement& placement, const SourcePixels& source,
                                    const DamageRects& damage, bool screenKept) const {
    const bool samePalette = source.format != Format::Indexed8 ||
                             std::equal(previousPalette_.begin(), previousPalette_.end(), source.palette);
    if (!presented_ || !screenKept || !(placement == previous_) || !samePalette) return {{placement.dest}};
    const LONG dx = placement.dest.left - placement.sourceArea.left;
    const LONG dy = placement.dest.top - placement.sourceArea.top;
    DamageRects parts = damage;
    for (RECT& part : parts.parts) {
        if (Intersect(&part, placement.sourceArea))
            part = RECT{part.left + dx, part.top + dy, part.right + dx, part.bottom + dy};
        else
            part = RECT{};
    }
    return parts;
}

void Presenter::Remember(const Placement& placement, const SourcePixels& source, SDL_Window* window) {
    previous_ = placement;
    if (source.format == Format::Indexed8)
        std::copy(source.palette, source.palette + previousPalette_.size(), previousPalette_.begin());
    presented_ = true;
    if (window != nullptr) SDL_SetWindowData(window, kLastPresenter, this);
}

}  // namespace dx
