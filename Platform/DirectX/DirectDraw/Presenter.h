// The screen behind the primary surface: puts blitted frames into the
// clipper's window on a real display (paced to its refresh rate), or into
// the off-screen screen image.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "Platform/DirectX/DirectDraw/AskedImage.h"
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
    // A screen of the desktop's size. Its image is made when first needed
    // (a presentation that reaches no window, or a read-back), so that a
    // screen shown in a real window costs no memory of its own.
    Presenter(int width, int height);
    ~Presenter();

    // Readies `window` for presentations: on a real display, its image is
    // made now, so that a display whose pixels cannot be drawn, or an image
    // too large for memory, fails here rather than at the first frame.
    // DD_OK, DDERR_UNSUPPORTEDFORMAT, DDERR_OUTOFMEMORY or DDERR_GENERIC.
    HRESULT Prepare(HWND window);

    // Copies `sourceArea` of `source` (whose bits are its pixel (0, 0)) to
    // the screen rectangle of the same size at (`destX`, `destY`), clipped to
    // the client area of `target`'s window when there is one, whose image
    // `target` holds as the presentation asked for it (AskImage). `pace`:
    // wait for the next refresh slot first (real displays only). When
    // everything but the source's pixels is as at the previous presentation,
    // only the damaged part is copied and shown. Allocates nothing once the
    // window's image, or the screen image, and the conversion for the source
    // exist.
    HRESULT Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY,
                    const AskedImage& target, bool pace, const SourceChange& change);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return width_ * 4; }
    // The screen image, black until presented to; null when its memory
    // cannot be had.
    std::uint32_t* ScreenImage();
    const std::uint32_t* SystemPalette() const { return systemPalette_.data(); }

private:
    // What decides whether the screen still holds the previous presentation
    // of the source, apart from its damage.
    struct Placement {
        HWND window;
        RECT client;  // the window's client area on the screen
                      // The image's contents (its memoryId), wherever they lie: an image
        // taken in turns moves at each show and still holds what was shown.
        std::uint64_t imageMemory;
        int surfaceWidth;
        int surfaceHeight;
        const void* source;
        RECT sourceArea;
        RECT dest;
        bool operator==(const Placement&) const;
    };

    // Present's copy into `target`'s window image on a real display.
    // `placement` comes with its window and client area (screen coordinates)
    // filled in; the image's part is filled in here.
    HRESULT PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                            const AskedImage& target, bool pace, const SourceChange& change,
                            Placement placement);
    // The parts of `dest` to copy: all of it unless `placement` and the
    // palette repeat the previous presentation and the screen still holds it
    // (`screenKept`: nobody else wrote there since); then the damaged parts.
    DamageRects ChangedParts(const Placement& placement, const SourcePixels& source,
                             const DamageRects& damage, bool screenKept) const;
    // Makes map_ fit `source` on a screen of `layout` (`window`: the window
    // whose colours a palettized layout takes). False when the window has
    // no colours to give.
    bool MapFor(const SourcePixels& source, const ScreenLayout& layout, HWND window);
    // Records a finished presentation, and on `window` (null for the screen
    // image) that this presenter wrote to it last.
    void Remember(const Placement& placement, const SourcePixels& source, HWND window);

    struct FreeImage {
        void operator()(std::uint32_t* image) const { std::free(image); }
    };

    int width_;
    int height_;
    std::unique_ptr<std::uint32_t[], FreeImage> image_;
    std::array<std::uint32_t, 256> systemPalette_{};
    FramePacer pacer_;
    SDL_Window* pacedWindow_ = nullptr;
    bool presented_ = false;  // previous_ and previousPalette_ hold a presentation
    Placement previous_{};
    std::array<std::uint32_t, 256> previousPalette_{};
    // The conversion in use, and what it was built for.
    PixelMap map_;
    bool mapped_ = false;
    ScreenLayout mapLayout_{};
    HWND mapWindow_ = nullptr;
    std::array<std::uint32_t, 256> mapColours_{};
};

}  // namespace dx
