// paced_floor_x11: the paced floor on X11, full screen on the display DISPLAY
// names until SIGTERM: an override-redirect window over the whole screen, an
// MIT-SHM image of its size, and each tick the patch's old and new place put
// as one area with a completion event, which the next tick waits for before
// it writes the image again.
#include <cstdio>

#include "bench/PacedFloor.h"
#include "bench/XScreenParts.h"

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || !XShmQueryExtension(display)) {
        std::fprintf(stderr, "paced_floor_x11: no X display with MIT-SHM\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const Window window = bench::ScreenWindow(display);
    XMapRaised(display, window);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    XShmSegmentInfo shm{};
    XImage* image = bench::ScreenImage(display, &shm);
    if (image == nullptr) {
        std::fprintf(stderr, "paced_floor_x11: no 32-bit shared image\n");
        return 1;
    }
    const int completion = XShmGetEventBase(display) + ShmCompletion;

    bench::EndOnTerm();
    bench::Patch patch(width, height);
    bench::Ticks ticks;
    auto* bits = reinterpret_cast<std::uint8_t*>(image->data);
    bool pending = false;
    while (!bench::ending) {
        while (pending) {
            XEvent event;
            XNextEvent(display, &event);
            pending = event.type != completion;
        }
        const int oldX = patch.X();
        const int oldY = patch.Y();
        patch.Fill(bits, image->bytes_per_line, oldX, oldY, 0);
        patch.Move();
        patch.Fill(bits, image->bytes_per_line, patch.X(), patch.Y(), 0x3366CC);
        const int left = std::min(oldX, patch.X());
        const int top = std::min(oldY, patch.Y());
        const int right = std::max(oldX, patch.X()) + patch.Side();
        const int bottom = std::max(oldY, patch.Y()) + patch.Side();
        XShmPutImage(display, window, gc, image, left, top, left, top, right - left, bottom - top, True);
        XFlush(display);
        pending = true;
        ticks.Sleep();
    }
    XShmDetach(display, &shm);
    XCloseDisplay(display);
    shmdt(shm.shmaddr);
    return 0;
}
