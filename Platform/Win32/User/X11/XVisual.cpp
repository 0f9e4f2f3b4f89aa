#include "Platform/Win32/User/X11/XVisual.h"

#include <X11/Xutil.h>

#include <cstdio>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

// Classes whose pixel values index a colormap rather than hold the colour.
bool Colormapped(int visualClass) {
    return visualClass == StaticGray || visualClass == GrayScale || visualClass == StaticColor ||
           visualClass == PseudoColor;
}

bool Palettized(const VisualFacts& visual) {
    return Colormapped(visual.visualClass) || visual.depth <= 8;
}

const char* ClassName(int visualClass) {
    switch (visualClass) {
        case StaticGray:
            return "StaticGray";
        case GrayScale:
            return "GrayScale";
        case StaticColor:
            return "StaticColor";
        case PseudoColor:
            return "PseudoColor";
        case TrueColor:
            return "TrueColor";
        case DirectColor:
            return "DirectColor";
        default:
            return "unknown class";
    }
}

DWORD LowBits(int count) {
    return count >= 32 ? 0xFFFFFFFFu : (DWORD{1} << count) - 1;
}

}  // namespace

std::optional<Win32WindowImage> ImageLayoutOf(const VisualFacts& visual, std::string* why) {
    if (visual.bitsPerPixel % 8 != 0 || visual.bitsPerPixel < 8 || visual.bitsPerPixel > 32) {
        *why = "its " + DescribeVisual(visual) + " takes " + std::to_string(visual.bitsPerPixel) +
               " bits a pixel in memory, not 8, 16, 24 or 32";
        return std::nullopt;
    }
    Win32WindowImage layout{};
    layout.bytesPerPixel = visual.bitsPerPixel / 8;
    if (Palettized(visual)) return layout;
    layout.redMask = static_cast<DWORD>(visual.redMask);
    layout.greenMask = static_cast<DWORD>(visual.greenMask);
    layout.blueMask = static_cast<DWORD>(visual.blueMask);
    // A 32-bit visual's fourth channel is alpha, which a compositor honours.
    layout.opaqueBits = LowBits(visual.depth) & ~(layout.redMask | layout.greenMask | layout.blueMask);
    return layout;
}

int ReportedBitsPerPixel(const VisualFacts& visual) {
    if (Palettized(visual)) return 8;
    return visual.depth <= 16 ? 16 : 32;
}

std::string DescribeVisual(const VisualFacts& visual) {
    char text[96];
    std::snprintf(text, sizeof text, "visual 0x%lx (%s, depth %d)", visual.id, ClassName(visual.visualClass),
                  visual.depth);
    return text;
}

VisualFacts FactsOf(Display* display, const Visual* visual, int depth) {
    VisualFacts facts{visual->visualid,   visual->c_class,  depth, 0, visual->red_mask,
                      visual->green_mask, visual->blue_mask};
    int count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i) {
            if (formats[i].depth == depth) facts.bitsPerPixel = formats[i].bits_per_pixel;
        }
        XFree(formats);
    }
    return facts;
}

std::optional<VisualFacts> ScreenVisual() {
    static bool asked = false;
    static std::optional<VisualFacts> screen;
    if (asked) return screen;
    asked = true;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return screen;
    const int number = DefaultScreen(display);
    screen = FactsOf(display, DefaultVisual(display, number), DefaultDepth(display, number));
    XCloseDisplay(display);
    return screen;
}

}  // namespace win32user
