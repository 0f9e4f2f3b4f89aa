#include "Platform/DirectX/DirectDraw/Presenter.h"

#include <SDL.h>

#include <algorithm>
#include <iterator>

#include "Platform/DirectX/DirectDraw/WindowNotes.h"
#include "Platform/DirectX/Rects.h"
#include "Platform/Win32/Win32Extensions.h"

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

HRESULT ImageResult(Win32ImageStatus status) {
    switch (status) {
        case Win32ImageStatus::Ready:
            return DD_OK;
        case Win32ImageStatus::Unsupported:
            return DDERR_UNSUPPORTEDFORMAT;
        case Win32ImageStatus::NoMemory:
            return DDERR_OUTOFMEMORY;
        case Win32ImageStatus::NoWindow:
            break;
    }
    return DDERR_GENERIC;
}

ScreenLayout LayoutOf(const Win32WindowImage& image) {
    return ScreenLayout{image.bytesPerPixel, image.redMask, image.greenMask, image.blueMask,
                        image.opaqueBits};
}

}  // namespace

Presenter::Presenter(int width, int height) : width_(width), height_(height) {
    std::array<PALETTEENTRY, 256> entries{};
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries.data());
    ReleaseDC(nullptr, screen);
    for (std::size_t i = 0; i < entries.size(); ++i)
        systemPalette_[i] = std::uint32_t{entries[i].peRed} << 16 | std::uint32_t{entries[i].peGreen} << 8 |
                            entries[i].peBlue;
}

Presenter::~Presenter() {
    ForgetNotesOf(this);
}

bool Presenter::Placement::operator==(const Placement& other) const {
    return window == other.window && SameRect(client, other.client) && imageMemory == other.imageMemory &&
           surfaceWidth == other.surfaceWidth && surfaceHeight == other.surfaceHeight &&
           source == other.source && SameRect(sourceArea, other.sourceArea) && SameRect(dest, other.dest);
}

std::uint32_t* Presenter::ScreenImage() {
    // Fresh zeroed pages: black, and no cost until drawn into.
    if (!image_)
        image_.reset(static_cast<std::uint32_t*>(
            std::calloc(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 4)));
    return image_.get();
}

HRESULT Presenter::Prepare(HWND window) {
    if (window == nullptr || !Win32HasRealDisplay(window)) return DD_OK;
    Win32WindowImage image;
    return ImageResult(Win32GetWindowImage(window, &image));
}

HRESULT Presenter::Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY,
                           const AskedImage& target, bool pace, const SourceChange& change) {
    HWND window = target.window;
    const RECT dest{destX, destY, destX + (sourceArea.right - sourceArea.left),
                    destY + (sourceArea.bottom - sourceArea.top)};
    Placement placement{window, RECT{}, 0, 0, 0, change.surface, sourceArea, dest};
    RECT visible = dest;
    bool shown = true;
    if (window != nullptr) {
        RECT client{};
        POINT origin{0, 0};
        GetClientRect(window, &client);
        ClientToScreen(window, &origin);
        placement.client = RECT{origin.x + client.left, origin.y + client.top, origin.x + client.right,
                                origin.y + client.bottom};
        if (Win32HasRealDisplay(window))
            return PresentToWindow(source, sourceArea, dest, target, pace, change, placement);
        shown = Intersect(&visible, placement.client);
    }
    if (ScreenImage() == nullptr) return DDERR_OUTOFMEMORY;
    if (!MapFor(source, kXrgbLayout, nullptr)) return DDERR_GENERIC;
    if (shown && Intersect(&visible, RECT{0, 0, width_, height_})) {
        for (RECT part : ChangedParts(placement, source, change.damage, true).parts) {
            if (!Intersect(&part, visible)) continue;
            RECT area = sourceArea;
            ClipBoth(dest, part, &area);
            const ScreenPixels screen{
                reinterpret_cast<std::uint8_t*>(image_.get() + static_cast<std::size_t>(part.top) * width_ +
                                                part.left),
                Pitch()};
            map_.Convert(At(source, area), screen, part.right - part.left, part.bottom - part.top);
        }
    }
    Remember(placement, source, nullptr);
    return DD_OK;
}

HRESULT Presenter::PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                                   const AskedImage& target, bool pace, const SourceChange& change,
                                   Placement placement) {
    // A presentation that fails part way leaves the window in doubt.
    const auto fail = [this](HRESULT result) {
        presented_ = false;
        return result;
    };
    HWND window = target.window;
    if (const HRESULT result = ImageResult(target.status)) return fail(result);
    const Win32WindowImage& image = target.image;
    SDL_Window* sdlWindow = Win32SdlWindow(window);
    if (!MapFor(source, LayoutOf(image), window)) return fail(DDERR_GENERIC);
    if (pace && !Win32WindowPacesFrames(window)) {
        if (sdlWindow != pacedWindow_) {
            pacer_.SetRefreshRate(RefreshRateOf(sdlWindow));
            pacedWindow_ = sdlWindow;
        }
        pacer_.Wait();
    }
    placement.imageMemory = image.memoryId;
    placement.surfaceWidth = image.width;
    placement.surfaceHeight = image.height;
    const RECT& client = placement.client;
    RECT visible = dest;
    if (!Intersect(&visible, client) ||
        !Intersect(&visible,
                   RECT{client.left, client.top, client.left + image.width, client.top + image.height})) {
        Remember(placement, source, window);
        return DD_OK;
    }
    // Another presenter writing to the window in between may have left
    // nothing of the previous presentation. (The screen image belongs to its
    // presenter; nobody else writes it.)
    const DamageRects parts = ChangedParts(placement, source, change.damage, LastPresenter(window) == this);
    // A source drawn straight into the image is there already.
    const bool inImage = source.bits == image.bits;
    RECT shown[std::size(parts.parts)];
    int count = 0;
    for (RECT part : parts.parts) {
        if (!Intersect(&part, visible)) continue;
        if (!inImage) {
            RECT area = sourceArea;
            ClipBoth(dest, part, &area);
            const ScreenPixels screen{image.bits +
                                          static_cast<std::ptrdiff_t>(part.top - client.top) * image.pitch +
                                          (part.left - client.left) * image.bytesPerPixel,
                                      image.pitch};
            map_.Convert(At(source, area), screen, part.right - part.left, part.bottom - part.top);
        }
        shown[count++] = RECT{part.left - client.left, part.top - client.top, part.right - client.left,
                              part.bottom - client.top};
    }
    // Shown even when nothing changed: the window may have lost what it showed.
    if (!Win32ShowWindowImage(window, shown, count)) return fail(DDERR_GENERIC);
    Remember(placement, source, window);
    return DD_OK;
}

bool Presenter::MapFor(const SourcePixels& source, const ScreenLayout& layout, HWND window) {
    const std::uint32_t* colours = source.format == Format::Indexed8 ? source.palette : systemPalette_.data();
    const bool coloursMatter = source.format == Format::Indexed8 || layout.Palettized();
    if (mapped_ && map_.source() == source.format && mapLayout_ == layout && mapWindow_ == window &&
        (!coloursMatter || std::equal(mapColours_.begin(), mapColours_.end(), colours)))
        return true;
    std::array<std::uint32_t, 256> pixels{};
    if (layout.Palettized() && !Win32WindowColours(window, colours, 256, pixels.data())) return false;
    map_.Build(source.format, layout, colours, pixels.data());
    std::copy(colours, colours + mapColours_.size(), mapColours_.begin());
    mapLayout_ = layout;
    mapWindow_ = window;
    mapped_ = true;
    return true;
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

void Presenter::Remember(const Placement& placement, const SourcePixels& source, HWND window) {
    previous_ = placement;
    if (source.format == Format::Indexed8)
        std::copy(source.palette, source.palette + previousPalette_.size(), previousPalette_.begin());
    presented_ = true;
    if (window != nullptr) SetLastPresenter(window, this);
}

}  // namespace dx
