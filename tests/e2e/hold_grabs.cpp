// Holds the keyboard and the pointer of the display for a while, as a client
// with a menu open does, so that nobody else can take them meanwhile.
//
//   hold_grabs SECONDS
//
// Prints "held" once both are grabbed, lets go after SECONDS and ends.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || argc != 2) {
        std::fprintf(stderr, "hold_grabs: usage: hold_grabs SECONDS, with a display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    if (XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess ||
        XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                     CurrentTime) != GrabSuccess) {
        std::fprintf(stderr, "hold_grabs: cannot grab\n");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    sleep(static_cast<unsigned>(std::atoi(argv[1])));
    XCloseDisplay(display);
    return 0;
}
