// What the benchmarks measure a frame against: the floor no renderer can
// beat, one memset of colour and depth and one memcpy of the frame, timed in
// the same run. Header-only; each benchmark is one program.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Median milliseconds of each part of the floor over `frames` frames.
struct FloorSteps {
    double fill;   // memset of colour (32-bit) and depth (16-bit)
    double copy;   // memcpy of the frame
    double frame;  // both
};

inline FloorSteps MemoryFloor(int width, int height, int frames) {
    const auto pixels = static_cast<std::size_t>(width) * height;
    std::vector<std::uint32_t> color(pixels), screen(pixels);
    std::vector<std::uint16_t> depth(pixels);
    std::vector<double> fill, copy, frame;
    for (int f = 0; f < frames; ++f) {
        const auto t0 = Clock::now();
        std::memset(color.data(), f & 0xFF, pixels * 4);
        std::memset(depth.data(), 0xFF, pixels * 2);
        const auto t1 = Clock::now();
        std::memcpy(screen.data(), color.data(), pixels * 4);
        const auto t2 = Clock::now();
        fill.push_back(Ms(t1 - t0));
        copy.push_back(Ms(t2 - t1));
        frame.push_back(Ms(t2 - t0));
    }
    // Keeps the copies from being optimised away.
    volatile std::uint32_t sink = screen[pixels / 2];
    (void)sink;
    return {Median(fill), Median(copy), Median(frame)};
}

}  // namespace bench
