// What the paced floor programs share: the patch that stands in for the
// saver's box, and the ticks they wake on. The floor is the least a paced
// saver must do: wake once a refresh, clear the patch where it was and fill
// it where it is now in shared memory, show the changed area and sleep.
#pragma once

#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace bench {

// A square as large as the saver's box on a screen this high, bouncing off
// the edges as the box does.
class Patch {
public:
    Patch(int width, int height) : width_(width), height_(height), side_(height / 9) {}
    int Side() const { return side_; }
    int X() const { return x_; }
    int Y() const { return y_; }
    void Move() {
        if (x_ + dx_ < 0 || x_ + dx_ + side_ > width_) dx_ = -dx_;
        if (y_ + dy_ < 0 || y_ + dy_ + side_ > height_) dy_ = -dy_;
        x_ += dx_;
        y_ += dy_;
    }
    // Fills the patch at (x, y) of 32-bit pixels `pitch` bytes a row apart.
    void Fill(std::uint8_t* bits, int pitch, int x, int y, std::uint32_t pixel) const {
        for (int row = y; row < y + side_; ++row) {
            auto* line =
                reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(row) * pitch) + x;
            if (pixel == 0)
                std::memset(line, 0, static_cast<std::size_t>(side_) * 4);
            else
                std::fill_n(line, side_, pixel);
        }
    }

private:
    int width_;
    int height_;
    int side_;
    int x_ = 0;
    int y_ = 0;
    int dx_ = 3;
    int dy_ = 2;
};

// Sleeps to the next of 60 ticks a second.
class Ticks {
public:
    Ticks() { clock_gettime(CLOCK_MONOTONIC, &next_); }
    void Sleep() {
        next_.tv_nsec += 1'000'000'000 / 60;
        if (next_.tv_nsec >= 1'000'000'000) {
            next_.tv_nsec -= 1'000'000'000;
            ++next_.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next_, nullptr);
    }

private:
    timespec next_{};
};

// SIGTERM ends the loop, so that the program leaves the display tidily.
inline volatile sig_atomic_t ending = 0;
inline void EndOnTerm() {
    struct sigaction action {};
    action.sa_handler = [](int) { ending = 1; };
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace bench
