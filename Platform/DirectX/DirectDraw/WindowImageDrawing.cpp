#include "Platform/DirectX/DirectDraw/WindowImageDrawing.h"

#include <cstdint>

#include "Platform/DirectX/DirectDraw/PixelConvert.h"
#include "Platform/DirectX/DirectDraw/Surface.h"

namespace dx {
namespace {

// Rows start 16 bytes apart, as in the surfaces' own memory.
constexpr std::uintptr_t kRowAlignment = 16;

bool SameLayout(Format format, const Win32WindowImage& image) {
    const ScreenLayout layout{image.bytesPerPixel, image.redMask, image.greenMask, image.blueMask,
                              image.opaqueBits};
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

bool FitsWindowImage(const Surface& source, const RECT& sourceArea, const RECT& dest,
                     const AskedImage& asked) {
    if (!asked.Ready()) return false;
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(asked.window, &client) || !ClientToScreen(asked.window, &origin)) return false;
    const bool whole = sourceArea.left == 0 && sourceArea.top == 0 && sourceArea.right == source.Width() &&
                       sourceArea.bottom == source.Height() && dest.left == origin.x &&
                       dest.top == origin.y && client.right - client.left == source.Width() &&
                       client.bottom - client.top == source.Height();
    const Win32WindowImage& image = asked.image;
    return whole && image.width == source.Width() && image.height == source.Height() &&
           SameLayout(source.PixelFormat(), image) && image.pitch % kRowAlignment == 0 &&
           reinterpret_cast<std::uintptr_t>(image.bits) % kRowAlignment == 0;
}

}  // namespace dx
