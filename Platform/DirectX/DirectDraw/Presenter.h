// The screen behind the primary surface: puts blitted frames into the
// clipper's window on a real display (paced to its refresh rate), or into
// the off-screen screen image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Platform/DirectX/DirectDraw/DamageRects.h"
#include "Platform/DirectX/DirectDraw/FramePacer.h"
#include "Platform/DirectX/DirectDraw/PixelConvert.h"

struct SDL_Window;

namespace dx {

// The surface a frame comes from and its pixels changed since it was last
// presented.
struct SourceChange {
    const void* surface;
    DamageRects damage;
};

class Presenter {
public:
    // A black screen image of the desktop's size; on 8-bit displays the
    // system palette is read once, for sources that carry no palette.
    Presenter(int width, int height, Format displayFormat);

    // Copies `sourceArea` of `source` (whose bits are its pixel (0, 0)) to
    // the screen rectangle of the same size at (`destX`, `destY`), clipped to
    // `window`'s client area when there is one. `pace`: wait for the next
    // refresh slot first (real displays only). When everything but the
    // source's pixels is as at the previous presentation, only the damaged
    // part is copied; a window is still told to show the whole rectangle.
    // Allocates nothing.
    HRESULT Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY, HWND window,
                    bool pace, const SourceChange& change);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return width_ * 4; }
    std::uint32_t* ScreenImage() { return image_.data(); }
    const std::uint32_t* SystemPalette() const { return systemPalette_.data(); }

private:
    // What decides whether the screen still holds the previous presentation
    // of the source, apart from its damage.
    struct Placement {
        HWND window;
        RECT client;  // the window's client area on the screen
        const void* windowSurface;
        int surfaceWidth;
        int surfaceHeight;
        const void* source;
        RECT sourceArea;
        RECT dest;
        bool operator==(const Placement&) const;
    };

    // Present's copy into `window`'s surface on a real display. `placement`
    // comes with its window and client area (screen coordinates) filled in;
    // the window surface's part is filled in here.
    HRESULT PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                            SDL_Window* window, bool pace, const SourceChange& change, Placement placement);
    // The parts of `dest` to copy: all of it unless `placement` and the
    // palette repeat the previous presentation and the screen still holds it
    // (`screenKept`: nobody else wrote there since); then the damaged parts.
    DamageRects ChangedParts(const Placement& placement, const SourcePixels& source,
                             const DamageRects& damage, bool screenKept) const;
    // Records a finished presentation, and on `window` (null for the screen
    // image) that this presenter wrote to it last.
    void Remember(const Placement& placement, const SourcePixels& source, SDL_Window* window);

    int width_;
    int height_;
    std::vector<std::uint32_t> image_;
    std::array<std::uint32_t, 256> systemPalette_{};
    FramePacer pacer_;
    SDL_Window* pacedWindow_ = nullptr;
    bool presented_ = false;  // previous_ and previousPalette_ hold a presentation
    Placement previous_{};
    std::array<std::uint32_t, 256> previousPalette_{};
};

}  // namespace dx
