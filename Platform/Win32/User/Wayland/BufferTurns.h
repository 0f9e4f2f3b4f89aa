// Which of a window's two image buffers may be written, and what must be
// copied into it first. The compositor reads a buffer from the commit that
// shows it until it releases it; a buffer handed out for writing is never
// one it may still read. Each buffer remembers the areas shown from the
// other since it was last written, so that once it is handed out it holds
// exactly what was shown last. No Wayland here: the caller reports commits
// and releases.
#pragma once

#include "Platform/Win32/Win32.h"

namespace win32user {

class BufferTurns {
public:
    static constexpr int kBuffers = 2;
    // Beyond this many areas a buffer is brought up to date whole.
    static constexpr int kMostAreas = 16;

    // What to copy into the buffer handed out: `count` areas of `from`, or
    // all of `from` when `whole`; nothing when `from` is -1.
    struct Carry {
        int from = -1;
        bool whole = false;
        const RECT* areas = nullptr;
        int count = 0;
    };

    // Fresh buffers of equal contents, none held.
    void Reset();
    // The buffer that may be written now: the one handed out since the last
    // show, else a free one (the one shown last first, which needs no copy);
    // -1 while the compositor holds every one.
    int Writable() const;
    // Hands out `buffer` (Writable's answer) for writing.
    Carry Take(int buffer);
    // The buffer handed out, or -1 when none is.
    int Current() const { return current_; }
    // The handed-out buffer went to the compositor `holders` times with
    // these areas changed (`all`: every pixel).
    void Shown(const RECT* areas, int count, bool all, int holders);
    // The compositor let go of one of the holds on `buffer`.
    void Released(int buffer);
    bool Held(int buffer) const { return state_[buffer].holds > 0; }

private:
    struct State {
        int holds = 0;
        bool whole = false;  // stale all over
        int count = 0;       // stale areas
        RECT areas[kMostAreas]{};
    };

    State state_[kBuffers];
    int current_ = -1;
    int last_ = -1;  // shown last: its contents are the window's
};

}  // namespace win32user
