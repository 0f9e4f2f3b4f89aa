// What the X11 benchmarks that stand in for a saver or its host share: a
// black window over the whole screen, and a shared image of the screen's
// size. Header-only; each benchmark is one program.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstddef>

namespace bench {

// Unmapped, override-redirect, as hosts and savers make theirs.
inline Window ScreenWindow(Display* display) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    return XCreateWindow(display, RootWindow(display, screen), 0, 0, DisplayWidth(display, screen),
                         DisplayHeight(display, screen), 0, CopyFromParent, InputOutput, CopyFromParent,
                         CWOverrideRedirect | CWBackPixel, &attributes);
}

// In the screen's default visual, attached to the server; null when it has
// no 32-bit pixels or the memory cannot be had.
inline XImage* ScreenImage(Display* display, XShmSegmentInfo* shm) {
    const int screen = DefaultScreen(display);
    XImage* image =
        XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                        nullptr, shm, DisplayWidth(display, screen), DisplayHeight(display, screen));
    if (image == nullptr || image->bits_per_pixel != 32) return nullptr;
    shm->shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height,
                        IPC_CREAT | 0600);
    if (shm->shmid < 0) return nullptr;
    shm->shmaddr = image->data = static_cast<char*>(shmat(shm->shmid, nullptr, 0));
    shm->readOnly = False;
    XShmAttach(display, shm);
    XSync(display, False);
    // The segment goes once both sides have let go of it.
    shmctl(shm->shmid, IPC_RMID, nullptr);
    return image;
}

}  // namespace bench
