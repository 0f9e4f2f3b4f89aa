#include "Platform/DirectX/DirectDraw/FramePacer.h"

#include <cerrno>
#include <ctime>

namespace dx {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

std::int64_t MonotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

}  // namespace

void FramePacer::SetRefreshRate(int hertz) {
    periodNs_ = kNsPerSecond / (hertz > 0 ? hertz : 60);
}

std::int64_t FramePacer::NextSlot(std::int64_t nowNs) {
    if (!started_ || nowNs - nextNs_ > periodNs_) {
        started_ = true;
        nextNs_ = nowNs;
    }
    const std::int64_t slot = nextNs_;
    nextNs_ += periodNs_;
    return slot;
}

void FramePacer::Wait() {
    const std::int64_t now = MonotonicNow();
    const std::int64_t slot = NextSlot(now);
    if (slot <= now) return;
    const timespec deadline{static_cast<time_t>(slot / kNsPerSecond), static_cast<long>(slot % kNsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace dx
