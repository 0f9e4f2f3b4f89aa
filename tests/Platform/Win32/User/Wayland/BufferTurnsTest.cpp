// The turns of a window's two image buffers against a fake compositor that
// holds what it was shown: a held buffer is never handed out, and the one
// handed out holds what was shown last once its carried areas are copied.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <random>
#include <vector>

#include "Platform/Win32/User/Wayland/BufferTurns.h"

namespace {

using win32user::BufferTurns;

constexpr int kSide = 8;
using Pixels = std::array<int, kSide * kSide>;

// Two buffers of pixels as the window's pixels keep them, and a compositor
// that holds each commit until told to let go.
class FakeWindow {
public:
    // Hands out a buffer as asking for the image does; -1 while both are held.
    int Image() {
        const int buffer = turns_.Current() >= 0 ? turns_.Current() : turns_.Writable();
        if (buffer < 0) return -1;
        EXPECT_EQ(held_[buffer], 0) << "buffer " << buffer << " handed out while the compositor holds it";
        const BufferTurns::Carry carry = turns_.Take(buffer);
        if (carry.from >= 0) {
            std::vector<RECT> areas(carry.areas, carry.areas + carry.count);
            if (carry.whole) areas.assign(1, RECT{0, 0, kSide, kSide});
            for (const RECT& area : areas) Copy(carry.from, buffer, area);
        }
        EXPECT_EQ(buffers_[buffer], shown_) << "buffer " << buffer << " handed out without the shown picture";
        return buffer;
    }
    // Draws `value` into `area` of the buffer handed out and shows the area
    // on `outputs` outputs.
    void Draw(const RECT& area, int value, int outputs) {
        const int buffer = turns_.Current();
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) buffers_[buffer][y * kSide + x] = value;
        turns_.Shown(&area, 1, false, outputs);
        held_[buffer] += outputs;
        for (int i = 0; i < outputs; ++i) holds_.push_back(buffer);
        shown_ = buffers_[buffer];
    }
    // The compositor lets go of its oldest hold.
    void ReleaseOldest() {
        if (holds_.empty()) return;
        --held_[holds_.front()];
        turns_.Released(holds_.front());
        holds_.pop_front();
    }
    BufferTurns& Turns() { return turns_; }

private:
    void Copy(int from, int to, const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                buffers_[to][y * kSide + x] = buffers_[from][y * kSide + x];
    }

    BufferTurns turns_;
    std::array<Pixels, BufferTurns::kBuffers> buffers_{};
    std::array<int, BufferTurns::kBuffers> held_{};
    std::deque<int> holds_;
    Pixels shown_{};
};

TEST(BufferTurnsTest, HeldBuffersAreNeverHandedOutAndCarryWhatWasShown) {
    struct Case {
        const char* what;
        int outputs;       // holds per show
        int releaseEvery;  // releases after each show, 0: one every other show
    };
    const Case cases[] = {
        {"compositor lets go at once", 1, 1},
        {"compositor lags a show behind", 1, 0},
        {"three outputs, each holding", 3, 3},
        {"three outputs, lagging", 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWindow window;
        window.Turns().Reset();
        std::mt19937 random(7);
        std::uniform_int_distribution<int> corner(0, kSide - 1);
        for (int frame = 1; frame <= 400; ++frame) {
            while (window.Image() < 0) window.ReleaseOldest();
            const int left = corner(random);
            const int top = corner(random);
            const RECT area{left, top, left + 1 + corner(random) % (kSide - left),
                            top + 1 + corner(random) % (kSide - top)};
            window.Draw(area, frame, c.outputs);
            const int releases = c.releaseEvery > 0 ? c.releaseEvery : frame % 2;
            for (int i = 0; i < releases; ++i) window.ReleaseOldest();
        }
    }
}

TEST(BufferTurnsTest, PicksTheBufferThatNeedsLeastWork) {
    const RECT area{1, 1, 3, 3};
    struct Case {
        const char* what;
        bool releaseShown;  // the compositor let go of the buffer shown
        int expected;       // the buffer handed out next
        int carried;        // areas to copy into it
    };
    const Case cases[] = {
        {"shown one held: the other, with the shown area", false, 1, 1},
        {"shown one let go: itself, nothing to copy", true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BufferTurns turns;
        turns.Reset();
        ASSERT_EQ(turns.Take(turns.Writable()).from, -1);
        turns.Shown(&area, 1, false, 1);
        if (c.releaseShown) turns.Released(0);
        const int next = turns.Writable();
        EXPECT_EQ(next, c.expected);
        EXPECT_EQ(turns.Take(next).count, c.carried);
    }
}

TEST(BufferTurnsTest, TooManyAreasOrAShowOfAllCarryTheWholeImage) {
    const std::vector<RECT> many(BufferTurns::kMostAreas + 1, RECT{0, 0, 1, 1});
    struct Case {
        const char* what;
        int count;
        bool all;
        bool whole;
    };
    const Case cases[] = {
        {"as many as fit", BufferTurns::kMostAreas, false, false},
        {"one too many", BufferTurns::kMostAreas + 1, false, true},
        {"all shown", 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BufferTurns turns;
        turns.Reset();
        turns.Take(turns.Writable());
        turns.Shown(many.data(), c.count, c.all, 1);
        const BufferTurns::Carry carry = turns.Take(turns.Writable());
        EXPECT_EQ(carry.from, 0);
        EXPECT_EQ(carry.whole, c.whole);
        EXPECT_EQ(carry.count, c.whole ? 0 : c.count);
    }
}

}  // namespace
