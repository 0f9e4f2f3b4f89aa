// On a real display: the host destroying its window under a saver that draws
// into it ends the saver, as the host ending it does.
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

#include "ScreenSaver/Deepdr.h"

// Last: Xlib's None macro would clash with gtest's and the run mode's None.
#include <X11/Xlib.h>

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

TEST(HostWindowGoneTest, TheSaverInsideEndsWithZero) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    char runtime[] = "/tmp/vantel-host-gone-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);

    std::fflush(nullptr);
    const pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        setenv("XDG_RUNTIME_DIR", runtime, 1);
        unsetenv("XSCREENSAVER_WINDOW");
        std::string commandLine = "--window-id " + std::to_string(window);
        // Ended as the program's main ends, its exit handlers and all.
        std::exit(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT));
    }
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

}  // namespace
