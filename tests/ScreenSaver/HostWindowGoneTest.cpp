// On a real display: the host destroying its window under a saver that draws
// into it ends the saver, as the host ending it does; and a saver that nobody
// can see draws nothing into it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "Platform/Win32/Win32TestHooks.h"
#include "ScreenSaver/Deepdr.h"

// Last: Xlib's None macro would clash with gtest's and the run mode's None.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace std::chrono_literals;

// Whether another client (the saver) listens to the window's structure.
bool Watched(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           (attributes.all_event_masks & ~attributes.your_event_mask & StructureNotifyMask) != 0;
}

// Waits for `child`, within `limit`: its exit code, or -1.
int ExitCode(pid_t child, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The saver in a process of its own, drawing into `window`, its monitors'
// power pretended at `dpmsLevel` (-1: as the display reports it).
pid_t StartSaverIn(Window window, const char* runtime, int dpmsLevel) {
    std::fflush(nullptr);
    const pid_t saver = fork();
    if (saver != 0) return saver;
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    unsetenv("XSCREENSAVER_WINDOW");
    Win32PretendDisplayPower(dpmsLevel);
    std::string commandLine = "--window-id " + std::to_string(window);
    // Ended as the program's main ends, its exit handlers and all.
    std::exit(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT));
}

TEST(HostWindowGoneTest, TheSaverInsideEndsWithZero) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    char runtime[] = "/tmp/vantel-host-gone-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);

    const pid_t saver = StartSaverIn(window, runtime, -1);
    ASSERT_GE(saver, 0);
    bool adopted = false;
    for (int i = 0; i < 1000 && !adopted; ++i) {
        adopted = Watched(display, window);
        if (!adopted) std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(adopted) << "the saver never took the window";
    XDestroyWindow(display, window);
    XSync(display, False);
    EXPECT_EQ(ExitCode(saver, 20s), 0);
    for (const auto& entry : std::filesystem::directory_iterator(runtime))
        EXPECT_NE(entry.path().extension(), ".lock") << "left: " << entry.path();
    std::filesystem::remove_all(runtime);
    XCloseDisplay(display);
}

// Whether any pixel of the window shows something else than black.
bool Lit(Display* display, Window window) {
    XImage* image = XGetImage(display, window, 0, 0, 320, 240, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool lit = false;
    for (int y = 0; y < 240 && !lit; ++y)
        for (int x = 0; x < 320 && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return lit;
}

TEST(HostWindowGoneTest, NothingIsDrawnWhileTheMonitorsAreOff) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    char runtime[] = "/tmp/vantel-unseen-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    // DPMS levels: on, then off.
    for (const int power : {0, 3}) {
        const Window window =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        const pid_t saver = StartSaverIn(window, runtime, power);
        ASSERT_GE(saver, 0);
        bool lit = false;
        for (int i = 0; i < 100 && !lit; ++i) {
            std::this_thread::sleep_for(20ms);
            lit = Lit(display, window);
        }
        EXPECT_EQ(lit, power == 0) << "DPMS level " << power;
        kill(saver, SIGTERM);
        EXPECT_EQ(ExitCode(saver, 20s), 0);
        XDestroyWindow(display, window);
    }
    std::filesystem::remove_all(runtime);
    XCloseDisplay(display);
}

}  // namespace
