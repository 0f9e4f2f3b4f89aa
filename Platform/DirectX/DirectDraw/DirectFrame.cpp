#include "Platform/DirectX/DirectDraw/DirectFrame.h"

#include <SDL.h>

#include <cstdint>

#include "Platform/DirectX/DirectDraw/PixelConvert.h"
#include "Platform/DirectX/DirectDraw/Surface.h"

namespace dx {
namespace {

constexpr char kFrameDrawer[] = "dx.frameDrawer";

// Rows start 16 bytes apart, as in the surfaces' own memory.
constexpr std::uintptr_t kRowAlignment = 16;

bool SameLayout(Format format, const Win32WindowFrame& frame) {
    const ScreenLayout layout{frame.bytesPerPixel, frame.redMask, frame.greenMask, frame.blueMask,
                              frame.opaqueBits};
    switch (format) {
        case Format::XRGB8888:
            return layout == kXrgbLayout;
        case Format::RGB565:
            return layout == ScreenLayout{2, 0xF800, 0x07E0, 0x001F, 0};
        case Format::Indexed8:  // its colours are the window's to give
        case Format::Z16:
            break;
    }
    return false;
}

}  // namespace

bool FitsWindowFrame(const Surface& source, const RECT& sourceArea, const RECT& dest, HWND window,
                     Win32WindowFrame* frame) {
    if (window == nullptr || !Win32HasRealDisplay(window)) return false;
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
    const bool whole = sourceArea.left == 0 && sourceArea.top == 0 && sourceArea.right == source.Width() &&
                       sourceArea.bottom == source.Height() && dest.left == origin.x &&
                       dest.top == origin.y && client.right - client.left == source.Width() &&
                       client.bottom - client.top == source.Height();
    if (!whole || Win32GetWindowFrame(window, frame) != Win32FrameStatus::Ready) return false;
    return frame->width == source.Width() && frame->height == source.Height() &&
           SameLayout(source.PixelFormat(), *frame) && frame->pitch % kRowAlignment == 0 &&
           reinterpret_cast<std::uintptr_t>(frame->bits) % kRowAlignment == 0;
}

Surface* FrameDrawer(HWND window) {
    SDL_Window* sdl = Win32SdlWindow(window);
    return sdl != nullptr ? static_cast<Surface*>(SDL_GetWindowData(sdl, kFrameDrawer)) : nullptr;
}

void SetFrameDrawer(HWND window, Surface* drawer) {
    if (SDL_Window* sdl = Win32SdlWindow(window)) SDL_SetWindowData(sdl, kFrameDrawer, drawer);
}

}  // namespace dx
