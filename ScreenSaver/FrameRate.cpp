#include "ScreenSaver/FrameRate.h"

#include <algorithm>
#include <charconv>
#include <cstring>

FrameRateCounter FrameRate;

namespace {

constexpr DWORD kSpanMs = 1000;
constexpr double kLargestRate = 9999.9;
constexpr char kUnit[] = " fps";

}  // namespace

const char* FrameRateCounter::Count(DWORD nowMs) {
    if (!started_) {
        started_ = true;
        spanStart_ = nowMs;
        return text_;
    }
    ++frames_;
    const DWORD span = nowMs - spanStart_;
    if (span < kSpanMs) return text_;
    const double rate = std::min(frames_ * 1000.0 / span, kLargestRate);
    constexpr int kNumberLength = kTextLength - static_cast<int>(sizeof kUnit - 1);
    char number[kNumberLength];
    const char* end = std::to_chars(number, number + kNumberLength, rate, std::chars_format::fixed, 1).ptr;
    const auto length = static_cast<std::size_t>(end - number);
    std::memset(text_, ' ', kNumberLength - length);
    std::memcpy(text_ + (kNumberLength - length), number, length);
    spanStart_ = nowMs;
    frames_ = 0;
    return text_;
}
