// The screen behind the primary surface: puts blitted frames into the
// clipper's window on a real display (paced to its refresh rate), or into
// the off-screen screen image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Platform/DirectX/DirectDraw/FramePacer.h"
#include "Platform/DirectX/DirectDraw/PixelConvert.h"

struct SDL_Window;

namespace dx {

class Presenter {
public:
    // A black screen image of the desktop's size; on 8-bit displays the
    // system palette is read once, for sources that carry no palette.
    Presenter(int width, int height, Format displayFormat);

    // Copies `sourceArea` of `source` (whose bits are its pixel (0, 0)) to
    // the screen rectangle of the same size at (`destX`, `destY`), clipped to
    // `window`'s client area when there is one. `pace`: wait for the next
    // refresh slot first (real displays only). Allocates nothing.
    HRESULT Present(const SourcePixels& source, const RECT& sourceArea, LONG destX, LONG destY, HWND window,
                    bool pace);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return width_ * 4; }
    std::uint32_t* ScreenImage() { return image_.data(); }
    const std::uint32_t* SystemPalette() const { return systemPalette_.data(); }

private:
    // `client`: the window's client area in screen coordinates.
    HRESULT PresentToWindow(const SourcePixels& source, const RECT& sourceArea, const RECT& dest,
                            const RECT& client, SDL_Window* window, bool pace);

    int width_;
    int height_;
    std::vector<std::uint32_t> image_;
    std::array<std::uint32_t, 256> systemPalette_{};
    FramePacer pacer_;
    SDL_Window* pacedWindow_ = nullptr;
};

}  // namespace dx
