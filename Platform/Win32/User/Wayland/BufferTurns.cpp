#include "Platform/Win32/User/Wayland/BufferTurns.h"

namespace win32user {

void BufferTurns::Reset() {
    for (State& state : state_) state = State{};
    current_ = -1;
    last_ = -1;
}

int BufferTurns::Writable() const {
    if (current_ >= 0) return current_;
    if (last_ >= 0 && !Held(last_)) return last_;
    for (int buffer = 0; buffer < kBuffers; ++buffer) {
        if (!Held(buffer)) return buffer;
    }
    return -1;
}

BufferTurns::Carry BufferTurns::Take(int buffer) {
    State& state = state_[buffer];
    Carry carry;
    if (buffer != current_ && last_ >= 0 && last_ != buffer && (state.whole || state.count > 0))
        carry = Carry{last_, state.whole, state.areas, state.count};
    // The areas stay readable until the next Shown, which alone adds to them.
    state.whole = false;
    state.count = 0;
    current_ = buffer;
    return carry;
}

void BufferTurns::Shown(const RECT* areas, int count, bool all, int holders) {
    if (current_ < 0) return;
    state_[current_].holds += holders;
    for (int buffer = 0; buffer < kBuffers; ++buffer) {
        State& state = state_[buffer];
        if (buffer == current_ || state.whole) continue;
        if (all || state.count + count > kMostAreas) {
            state.whole = true;
            state.count = 0;
            continue;
        }
        for (int i = 0; i < count; ++i) state.areas[state.count++] = areas[i];
    }
    last_ = current_;
    current_ = -1;
}

void BufferTurns::Released(int buffer) {
    if (state_[buffer].holds > 0) --state_[buffer].holds;
}

}  // namespace win32user
