// On a real display: a window counts as seen only while it is mapped, not
// wholly covered and its monitors are on; sleeping while it is not wakes
// when it shows again; and our windows leave the display free to power its
// monitors down.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "Platform/Win32/Win32Extensions.h"
#include "Platform/Win32/Win32TestHooks.h"
#include "tests/Support/TestWindow.h"

// Last: Xlib's None macro would clash with gtest's.
#include <X11/Xlib.h>

namespace {

using namespace std::chrono_literals;

// The answer once the display has had its say: what it says reaches us a
// moment after the request that made it.
bool SettledSeen(HWND window, bool expected) {
    for (int i = 0; i < 500; ++i) {
        if (Win32WindowSeen(window) == expected) return expected;
        std::this_thread::sleep_for(10ms);
    }
    return !expected;
}

class WindowSightTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = OpenTestWindow(30, 40, 200, 100);
        ASSERT_NE(window_, nullptr);
        // Asked from the start, as the saver asks from its first frame on:
        // the display tells of changes only.
        ASSERT_TRUE(Win32WindowSeen(window_));
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        cover_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 400, 300, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    }
    void TearDown() override {
        Win32PretendDisplayPower(-1);
        if (display_ != nullptr) XCloseDisplay(display_);
        DestroyWindow(window_);
    }
    void Cover(bool covered) {
        if (covered)
            XMapRaised(display_, cover_);
        else
            XUnmapWindow(display_, cover_);
        XSync(display_, False);
    }

    HWND window_ = nullptr;
    Display* display_ = nullptr;
    Window cover_ = 0;
};

TEST_F(WindowSightTest, TheDisplayMayStillTurnTheMonitorsOff) {
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

TEST_F(WindowSightTest, OnlyWhileTheMonitorsAreOn) {
    const struct {
        int dpmsLevel;
        bool seen;
    } cases[] = {{0, true}, {1, false}, {2, false}, {3, false}, {-1, true}};
    for (const auto& c : cases) {
        Win32PretendDisplayPower(c.dpmsLevel);
        EXPECT_EQ(SettledSeen(window_, c.seen), c.seen) << "DPMS level " << c.dpmsLevel;
    }
}

TEST_F(WindowSightTest, OnlyWhileMappedAndUncovered) {
    enum class Step { Cover, Uncover, Hide, Show };
    const struct {
        Step step;
        const char* what;
        bool seen;
    } steps[] = {
        {Step::Cover, "covered by another client's window", false},
        {Step::Uncover, "uncovered", true},
        {Step::Hide, "hidden", false},
        {Step::Show, "shown again", true},
    };
    for (const auto& s : steps) {
        if (s.step == Step::Cover || s.step == Step::Uncover)
            Cover(s.step == Step::Cover);
        else
            ShowWindow(window_, s.step == Step::Hide ? SW_HIDE : SW_SHOW);
        EXPECT_EQ(SettledSeen(window_, s.seen), s.seen) << s.what;
    }
}

TEST_F(WindowSightTest, SleepWakesWhenTheWindowShowsAgain) {
    Cover(true);
    ASSERT_FALSE(SettledSeen(window_, false));
    // The test's connection is the thread's alone until it is joined.
    std::thread uncover([this] {
        std::this_thread::sleep_for(200ms);
        Cover(false);
    });
    // A sleep that never woke would hang: the alarm ends the test instead.
    alarm(20);
    int sleeps = 0;
    while (!Win32WindowSeen(window_)) {
        DrainMessages();
        Win32AwaitSight(window_);
        ++sleeps;
    }
    alarm(0);
    uncover.join();
    // Sleeping on the display, not spinning: woken by little but the news.
    EXPECT_LT(sleeps, 20);
}

}  // namespace
