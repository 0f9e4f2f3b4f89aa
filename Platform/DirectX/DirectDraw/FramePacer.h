// Paces presentation to the display's refresh rate, as waiting for the
// vertical blank would: one frame slot per refresh period.
#pragma once

#include <cstdint>

namespace dx {

class FramePacer {
public:
    // Refresh rate in Hz; 0 or less (unknown) counts as 60.
    void SetRefreshRate(int hertz);

    // Given the time now (ns, monotonic), the time to sleep until before
    // presenting (now or earlier: no sleep). Each call takes the next slot,
    // one period after the previous one; a caller more than a period behind
    // starts afresh from now instead of rushing to catch up.
    std::int64_t NextSlot(std::int64_t nowNs);

    // Sleeps until the next slot (an absolute deadline on the monotonic clock).
    void Wait();

private:
    std::int64_t periodNs_ = 1'000'000'000 / 60;
    std::int64_t nextNs_ = 0;
    bool started_ = false;
};

}  // namespace dx
