// A window for the end-to-end tests to hand to the saver, as a screensaver
// host hands over its own: black, at (10, 10), of the size given; with
// "argb", of a 32-bit visual with alpha (as compositing hosts make them),
// fully transparent at first; with "input-only", a window of the class that
// takes input and shows nothing.
//
//   host_window WIDTH HEIGHT [argb|input-only]
//
// Prints the window's id (0x...) once it is mapped, then takes one command a
// line from standard input and answers each with "done" once the X server
// has carried it out:
//   size W H   resize the window
//   move X Y   move it
//   destroy    destroy it
// It ends at the end of its input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A window of a 32-bit visual with alpha, or none when the screen has none.
Window ArgbWindow(Display* display, int screen, unsigned width, unsigned height) {
    XVisualInfo visual;
    if (XMatchVisualInfo(display, screen, 32, TrueColor, &visual) == 0) return 0;
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, RootWindow(display, screen), visual.visual, AllocNone);
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    return XCreateWindow(display, RootWindow(display, screen), 10, 10, width, height, 0, 32, InputOutput,
                         visual.visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
}

Window InputOnlyWindow(Display* display, int screen, unsigned width, unsigned height) {
    XSetWindowAttributes noAttributes{};
    return XCreateWindow(display, RootWindow(display, screen), 10, 10, width, height, 0, 0, InputOnly,
                         CopyFromParent, 0, &noAttributes);
}

}  // namespace

int main(int argc, char** argv) {
    const bool argb = argc == 4 && std::strcmp(argv[3], "argb") == 0;
    const bool inputOnly = argc == 4 && std::strcmp(argv[3], "input-only") == 0;
    if (argc != 3 && !argb && !inputOnly) {
        std::fprintf(stderr, "usage: host_window WIDTH HEIGHT [argb|input-only]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "host_window: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const auto width = static_cast<unsigned>(std::atoi(argv[1]));
    const auto height = static_cast<unsigned>(std::atoi(argv[2]));
    const Window window =
        argb        ? ArgbWindow(display, screen, width, height)
        : inputOnly ? InputOnlyWindow(display, screen, width, height)
                    : XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, width, height, 0,
                                          BlackPixel(display, screen), BlackPixel(display, screen));
    if (window == 0) {
        std::fprintf(stderr, "host_window: the screen has no 32-bit visual\n");
        return 1;
    }
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        int first = 0;
        int second = 0;
        if (std::sscanf(line, "size %d %d", &first, &second) == 2) {
            XResizeWindow(display, window, static_cast<unsigned>(first), static_cast<unsigned>(second));
        } else if (std::sscanf(line, "move %d %d", &first, &second) == 2) {
            XMoveWindow(display, window, first, second);
        } else if (std::strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(display, window);
        }
        XSync(display, False);
        std::printf("done\n");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
