// The frame rate the saver shows in a corner when its command line asks for
// it (--fps), measured over spans of a second or more.
#pragma once

#include "Platform/Win32/Win32.h"

class FrameRateCounter {
public:
    // Characters of every text the counter gives, "9999.9 fps" at most.
    static constexpr int kTextLength = 10;

    // Counts a frame shown at `nowMs` (GetTickCount's clock; the first call
    // starts the count) and gives the text to show with it, right-aligned
    // ("  60.0 fps"): the frames per second over the span since the text was
    // last rewritten, once that span reaches a second; "  --.- fps" until then.
    // Allocates nothing.
    const char* Count(DWORD nowMs);

private:
    bool started_ = false;
    DWORD spanStart_ = 0;
    int frames_ = 0;
    char text_[kTextLength + 1] = "  --.- fps";
};

// The one counter of the saver's frames.
extern FrameRateCounter FrameRate;
