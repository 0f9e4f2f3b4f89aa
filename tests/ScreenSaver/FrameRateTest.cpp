#include <gtest/gtest.h>

#include <string>

#include "ScreenSaver/FrameRate.h"

namespace {

TEST(FrameRateTest, TheRateOfEachSpanOfASecondOrMore) {
    // Frames at `first`, then `perStep` frames at each of `steps` times `step` apart.
    const struct {
        DWORD first, step;
        int steps, perStep;
        const char* text;
    } cases[] = {
        {0, 20, 49, 1, "  --.- fps"},
        {0, 400, 3, 1, "   2.5 fps"},
        {0, 1, 1000, 11, "9999.9 fps"},
        {0xFFFFFE00u, 10, 100, 1, " 100.0 fps"},
    };
    for (const auto& c : cases) {
        FrameRateCounter counter;
        std::string text = counter.Count(c.first);
        for (int k = 1; k <= c.steps; ++k)
            for (int f = 0; f < c.perStep; ++f)
                text = counter.Count(c.first + static_cast<DWORD>(k) * c.step);
        EXPECT_EQ(text, c.text) << c.first << " + " << c.steps << " x " << c.step;
    }
}

}  // namespace
