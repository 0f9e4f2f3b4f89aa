// Frame slots: one period apart, late frames catch up within one period,
// and a caller further behind starts afresh.
#include <gtest/gtest.h>

#include "Platform/DirectX/DirectDraw/FramePacer.h"

namespace {

struct Step {
    std::int64_t now;
    std::int64_t slot;
};

TEST(DDrawFramePacerTest, SlotsFollowTheRefreshPeriod) {
    constexpr std::int64_t P = 10'000'000;  // 100 Hz
    const Step steps[] = {
        {1'000, 1'000},              // the first frame goes at once
        {1'000 + P / 3, 1'000 + P},  // early: waits for the next slot
        {1'000 + P + 1, 1'000 + 2 * P},
        {1'000 + 2 * P + P / 2, 1'000 + 3 * P},
        {1'000 + 3 * P + P / 2, 1'000 + 4 * P},
        {1'000 + 5 * P + P / 2, 1'000 + 5 * P},  // half a period late: the slot has passed, no wait
        {1'000 + 5 * P + P / 2 + 1, 1'000 + 6 * P},
        {1'000 + 9 * P, 1'000 + 9 * P},  // far behind: starts again from now
        {1'000 + 9 * P + 1, 1'000 + 10 * P},
    };
    dx::FramePacer pacer;
    pacer.SetRefreshRate(100);
    for (const Step& step : steps) EXPECT_EQ(pacer.NextSlot(step.now), step.slot) << step.now;
}

TEST(DDrawFramePacerTest, UnknownRateCountsAsSixtyHertz) {
    dx::FramePacer pacer;
    pacer.SetRefreshRate(0);
    EXPECT_EQ(pacer.NextSlot(0), 0);
    EXPECT_EQ(pacer.NextSlot(1), 1'000'000'000 / 60);
}

}  // namespace
