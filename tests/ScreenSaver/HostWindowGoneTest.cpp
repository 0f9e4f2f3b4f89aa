// On a real display: the host destroying its window under a saver that draws
// into it ends the saver, as the host ending it does, with 0 and without a
// word, whichever of the saver's requests the window's end meets; and a
// saver that nobody can see draws nothing into it.
//
// The saver's X requests of its first frame are wrapped at link time, so
// that a case can destroy the window in the very moment before one of them
// reaches the server.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "Platform/Win32/Win32TestHooks.h"
#include "ScreenSaver/Deepdr.h"

// Last: Xlib's None macro would clash with gtest's and the run mode's None.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

// In the saver's process: the request before whose call the host's window
// goes, the calls of it to let through first, and that window.
const char* destroyBefore = nullptr;
int callsBefore = 0;
Window hostWindow = 0;

void DestroyHostWindowBefore(const char* request) {
    if (destroyBefore == nullptr || std::strcmp(destroyBefore, request) != 0 || callsBefore-- > 0) return;
    destroyBefore = nullptr;
    Display* host = XOpenDisplay(nullptr);
    if (host == nullptr) return;
    XDestroyWindow(host, hostWindow);
    XCloseDisplay(host);
}

}  // namespace

extern "C" {
Status __real_XGetWindowAttributes(Display* display, Window window, XWindowAttributes* attributes);
GC __real_XCreateGC(Display* display, Drawable drawable, unsigned long mask, XGCValues* values);
Bool __real_XShmAttach(Display* display, XShmSegmentInfo* segment);
Bool __real_XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                         int x, int y, unsigned width, unsigned height, Bool sendEvent);

Status __wrap_XGetWindowAttributes(Display* display, Window window, XWindowAttributes* attributes) {
    if (window == hostWindow) DestroyHostWindowBefore("XGetWindowAttributes");
    return __real_XGetWindowAttributes(display, window, attributes);
}
GC __wrap_XCreateGC(Display* display, Drawable drawable, unsigned long mask, XGCValues* values) {
    DestroyHostWindowBefore("XCreateGC");
    return __real_XCreateGC(display, drawable, mask, values);
}
Bool __wrap_XShmAttach(Display* display, XShmSegmentInfo* segment) {
    DestroyHostWindowBefore("XShmAttach");
    return __real_XShmAttach(display, segment);
}
Bool __wrap_XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                         int x, int y, unsigned width, unsigned height, Bool sendEvent) {
    DestroyHostWindowBefore("XShmPutImage");
    return __real_XShmPutImage(display, drawable, gc, image, sourceX, sourceY, x, y, width, height,
                               sendEvent);
}
}

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

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The window destroyed twice over when the saver did already.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct Ending {
    int exitCode = -1;
    std::string said;  // on standard error
    std::string lockFileLeft;
};

// Where the host's window goes: just before the saver's `request` (one of
// those wrapped above) after `calls` of it, or as soon as the saver has
// taken the window when `request` is null.
struct Moment {
    const char* request;
    int calls;
};

// Starts the saver in a host's window, which goes at `moment`: how the saver ended.
Ending DestroyedUnderTheSaver(Moment moment) {
    Ending ending;
    Display* display = XOpenDisplay(nullptr);
    EXPECT_NE(display, nullptr) << "no X display";
    if (display == nullptr) return ending;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    char runtime[] = "/tmp/vantel-host-gone-XXXXXX";
    EXPECT_NE(mkdtemp(runtime), nullptr);
    const std::filesystem::path said = std::filesystem::path(runtime) / "stderr";

    std::fflush(nullptr);
    const pid_t saver = fork();
    if (saver == 0) {
        setenv("XDG_RUNTIME_DIR", runtime, 1);
        unsetenv("XSCREENSAVER_WINDOW");
        if (std::freopen(said.c_str(), "w", stderr) == nullptr) _exit(100);
        destroyBefore = moment.request;
        callsBefore = moment.calls;
        hostWindow = window;
        std::string commandLine = "--window-id " + std::to_string(window);
        // Ended as the program's main ends, its exit handlers and all.
        std::exit(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT));
    }
    if (moment.request == nullptr) {
        bool adopted = false;
        for (int i = 0; i < 1000 && !adopted; ++i) {
            adopted = Watched(display, window);
            if (!adopted) std::this_thread::sleep_for(10ms);
        }
        EXPECT_TRUE(adopted) << "the saver never took the window";
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    ending.exitCode = ExitCode(saver, 20s);
    ending.said = ReadAll(said);
    for (const auto& entry : std::filesystem::directory_iterator(runtime))
        if (entry.path().extension() == ".lock") ending.lockFileLeft = entry.path();
    std::filesystem::remove_all(runtime);
    // Not before: the saver, forked, would take the handler over.
    XSetErrorHandler(IgnoreXError);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return ending;
}

TEST(HostWindowGoneTest, TheSaverInsideEndsWithZero) {
    const Ending ending = DestroyedUnderTheSaver({nullptr, 0});
    EXPECT_EQ(ending.exitCode, 0) << ending.said;
    EXPECT_EQ(ending.said, "");
    EXPECT_EQ(ending.lockFileLeft, "");
}

// What the saver asks of the window and makes for its first frame (after
// the look at the window it takes: the window's layout, the GC, the shared
// image's attach, the first put) is each made when the window may just have
// gone: none of them ends the saver otherwise, or says a word.
TEST(HostWindowGoneTest, GoneJustBeforeARequestOfTheSaversFirstFrame) {
    for (const Moment moment : {Moment{"XGetWindowAttributes", 1}, Moment{"XCreateGC", 0},
                                Moment{"XShmAttach", 0}, Moment{"XShmPutImage", 0}}) {
        SCOPED_TRACE(std::string("the window gone just before ") + moment.request);
        const Ending ending = DestroyedUnderTheSaver(moment);
        EXPECT_EQ(ending.exitCode, 0) << (ending.exitCode == -1 ? "it did not end" : ending.said);
        EXPECT_EQ(ending.said, "");
        EXPECT_EQ(ending.lockFileLeft, "");
    }
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
