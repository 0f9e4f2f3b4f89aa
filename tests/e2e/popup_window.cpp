// A window that no window manager stacks (override-redirect), as
// notifications and menus are: mapped on top of every other window, in a
// solid colour, for the end-to-end tests to see whether the saver goes back
// above it.
//
//   popup_window WIDTHxHEIGHT+X+Y COLOUR
//
// Prints "mapped" once it is, then takes one command a line from standard
// input, answering each with "done" once the X server has carried it out:
//   raise   raise it above every other window again
// It ends at the end of its input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
    XColor colour;
    if (display == nullptr || argc != 3 ||
        (XParseGeometry(argv[1], &x, &y, &width, &height) & (WidthValue | HeightValue)) == 0 ||
        XAllocNamedColor(display, DefaultColormap(display, DefaultScreen(display)), argv[2], &colour,
                         &colour) == 0) {
        std::fprintf(stderr, "popup_window: usage: popup_window WIDTHxHEIGHT+X+Y COLOUR, with a display\n");
        return 1;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = colour.pixel;
    const Window window =
        XCreateWindow(display, DefaultRootWindow(display), x, y, width, height, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    std::puts("mapped");
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (std::strcmp(line, "raise\n") == 0) XRaiseWindow(display, window);
        XSync(display, False);
        std::puts("done");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
