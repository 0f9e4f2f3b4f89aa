// Counts a window's pixels as the X server holds them, which takes a
// fraction of a second where a screenshot tool takes many on a large screen.
//
//   window_pixels [WINDOW]   the root window, or the window of that id (0x...)
//
// Prints "<pixels> <lit> <translucent>": how many of the window's pixels lie
// on the screen (the server keeps none for the rest), how many of them are
// not black, and for a window 32 bits deep, how many are not fully opaque.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_pixels: cannot open the display\n");
        return 1;
    }
    const Window window = argc > 1 ? std::strtoul(argv[1], nullptr, 0) : DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) {
        std::fprintf(stderr, "window_pixels: no window %s\n", argv[1]);
        return 1;
    }
    int x = 0;
    int y = 0;
    Window child;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    const int width = std::min(attributes.width, WidthOfScreen(attributes.screen) - x);
    const int height = std::min(attributes.height, HeightOfScreen(attributes.screen) - y);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "window_pixels: cannot read the window\n");
        return 1;
    }
    const bool alpha = attributes.depth == 32;
    const unsigned long colour = alpha ? 0xFFFFFF : (1ul << attributes.depth) - 1;
    long lit = 0;
    long translucent = 0;
    // 32-bit pixels are read straight, as XGetPixel would take long on large screens.
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int row = 0; row < image->height; ++row) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image->data + row * image->bytes_per_line);
        for (int column = 0; column < image->width; ++column) {
            const unsigned long pixel = direct ? line[column] : XGetPixel(image, column, row);
            lit += (pixel & colour) != 0 ? 1 : 0;
            translucent += alpha && (pixel >> 24) != 0xFF ? 1 : 0;
        }
    }
    std::printf("%ld %ld %ld\n", static_cast<long>(width) * height, lit, translucent);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
