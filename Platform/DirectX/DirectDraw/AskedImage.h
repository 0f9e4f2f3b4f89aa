// A window's image as one presentation asks for it: asked once, and handed
// to every step of the presentation that reads or writes the image. Asking
// may wait for the display, and on displays that take buffers in turns the
// answer names the buffer that may be written now.
#pragma once

#include "Platform/Win32/Win32Extensions.h"

namespace dx {

struct AskedImage {
    HWND window = nullptr;
    // NoWindow too when not asked: no window, or one off any real display.
    Win32ImageStatus status = Win32ImageStatus::NoWindow;
    Win32WindowImage image{};

    bool Ready() const { return status == Win32ImageStatus::Ready; }
};

// `window`'s image, asked for only when the window lies on a real display.
inline AskedImage AskImage(HWND window) {
    AskedImage asked{window};
    if (window != nullptr && Win32HasRealDisplay(window))
        asked.status = Win32GetWindowImage(window, &asked.image);
    return asked;
}

}  // namespace dx
