#include <ctime>

#include "Platform/Win32/Win32.h"

DWORD GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Cut to 32 bits on purpose: the count wraps as the published one does.
    return static_cast<DWORD>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u);
}
