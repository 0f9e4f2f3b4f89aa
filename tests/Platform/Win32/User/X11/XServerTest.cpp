// On a real X display, what the server does that the saver must live with:
// a shared put whose completion never comes does not stop the window's
// pixels (the next frame waits for it only a moment, then goes on, and each
// frame still reaches the window); an X error that nothing expected ends the
// program in one line of its own, not in Xlib's words.
//
// XShmPutImage is wrapped at link time: it asks the server for no
// completion whatever its caller asks, which is what a server that never
// completes the put looks like from here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/TestWindow.h"

// Last: Xlib's macros (None, Status, Bool) would clash with gtest's.
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace {

int sharedPuts = 0;

}  // namespace

extern "C" {
Bool __real_XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                         int x, int y, unsigned width, unsigned height, Bool sendEvent);

Bool __wrap_XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                         int x, int y, unsigned width, unsigned height, Bool) {
    ++sharedPuts;
    return __real_XShmPutImage(display, drawable, gc, image, sourceX, sourceY, x, y, width, height, False);
}
}

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kSize = 32;

std::uint32_t Channel(DWORD mask, std::uint32_t level) {
    return (level & 0xFF) << std::countr_zero(mask);
}

// The window's pixel at (x, y) as the server holds it, as 0x00RRGGBB.
std::uint32_t ServerPixel(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xFFFFFFFF;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return static_cast<std::uint32_t>(pixel & 0xFFFFFF);
}

// Whether the window shows `xrgb` within a second: the put went on another
// connection, which the server may serve after ours.
bool Shows(Display* display, Window window, std::uint32_t xrgb) {
    const auto giveUp = Clock::now() + 1s;
    while (ServerPixel(display, window, kSize / 2, kSize / 2) != xrgb) {
        if (Clock::now() > giveUp) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Waits for `child`, within `limit`: its wait status, or -1 when it had to
// be killed.
int Ended(pid_t child, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

// Draws `count` frames of changing colours into a window of our own and
// checks each: 0 when every one showed and no wait took longer than
// `longest`, else what went wrong.
int DrawFrames(int count, Clock::duration longest) {
    HWND window = OpenTestWindow(40, 40, kSize, kSize);
    if (window == nullptr || !Win32HasRealDisplay(window)) return 10;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 11;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(Win32SdlWindow(window), &info) != SDL_TRUE) return 11;
    const Window id = info.info.x11.window;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t xrgb = 0x00402010u * static_cast<std::uint32_t>(i % 3 + 1);
        Win32WindowImage image{};
        const auto asked = Clock::now();
        if (Win32GetWindowImage(window, &image) != Win32ImageStatus::Ready) return 12;
        if (Clock::now() - asked > longest) return 13;
        if (image.bytesPerPixel != 4) return 14;
        const std::uint32_t pixel = Channel(image.redMask, xrgb >> 16) | Channel(image.greenMask, xrgb >> 8) |
                                    Channel(image.blueMask, xrgb);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                std::memcpy(image.bits + y * image.pitch + 4 * x, &pixel, 4);
        const RECT whole{0, 0, image.width, image.height};
        if (!Win32ShowWindowImage(window, &whole, 1)) return 15;
        if (!Shows(display, id, xrgb)) return 16;
    }
    XCloseDisplay(display);
    DestroyWindow(window);
    return sharedPuts >= count ? 0 : 17;
}

TEST(SharedPutTest, APutNeverCompletedHoldsUpTheNextFrameOnlyAMoment) {
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(DrawFrames(4, 1500ms));
    // Long enough for the waits to give up, too short for one that never does.
    const int status = Ended(child, 20s);
    ASSERT_NE(status, -1) << "the frame after a put never completed still waits";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no window; 11: no X window or connection; 12: no image;\n"
                                         "13: a frame waited too long; 14: not a 24-bit display;\n"
                                         "15: not shown; 16: the window does not show it;\n"
                                         "17: the puts were not shared";
}

// A request that fails where nothing expected it to (here a pixmap that
// does not exist, freed on SDL's connection): exit code 1 and one line
// naming the display, the request and the error.
TEST(UnexpectedXErrorTest, EndsTheProgramInOneLineOfItsOwn) {
    char said[] = "/tmp/vantel-x-error-XXXXXX";
    const int file = mkstemp(said);
    ASSERT_GE(file, 0);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(file, STDERR_FILENO);
        HWND window = OpenTestWindow(40, 40, kSize, kSize);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (window == nullptr || SDL_GetWindowWMInfo(Win32SdlWindow(window), &info) != SDL_TRUE) _exit(10);
        Display* display = info.info.x11.display;
        XFreePixmap(display, 0x1FFFFF);
        XSync(display, False);
        _exit(0);
    }
    const int status = Ended(child, 20s);
    char text[1024] = "";
    const ssize_t length = pread(file, text, sizeof text - 1, 0);
    close(file);
    unlink(said);
    const std::string line(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    ASSERT_TRUE(WIFEXITED(status)) << line;
    EXPECT_EQ(WEXITSTATUS(status), 1) << line;
    const std::string expected = std::string(program_invocation_short_name) + ": the X display " +
                                 std::getenv("DISPLAY") +
                                 " refused a request (X_FreePixmap): BadPixmap (invalid Pixmap parameter)\n";
    EXPECT_EQ(line, expected);
}

}  // namespace
