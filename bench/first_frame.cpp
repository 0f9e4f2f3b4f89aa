// Start-up of the screensaver as a person sees it, measured from outside:
// from just before the saver's process is forked to the first look at the
// screen that shows the box, and the saver's resident memory then and once
// it has run a while.
//
//   first_frame VANTEL [RUNS]   on $DISPLAY, RUNS starts (default 20)
//
// The screen's centre (where the box starts) is read every millisecond with
// XGetImage on the root window, which shows what is on the screen; the
// root's own background is painted black first, so the saver's black window
// and the bare root look alike and only the first rendered frame counts.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/MemoryFloor.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

constexpr int kProbeSide = 64;
constexpr auto kProbePeriod = std::chrono::milliseconds(1);
constexpr auto kGiveUp = std::chrono::seconds(10);
constexpr auto kSettle = std::chrono::seconds(3);

// A field of /proc/PID/status in kB ("VmRSS", "VmHWM"); -1 when unreadable.
long StatusKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

bool CentreLit(Display* display, Window root, int width, int height) {
    XImage* image = XGetImage(display, root, (width - kProbeSide) / 2, (height - kProbeSide) / 2, kProbeSide,
                              kProbeSide, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool lit = false;
    for (int y = 0; y < kProbeSide && !lit; ++y)
        for (int x = 0; x < kProbeSide && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return lit;
}

struct Run {
    double firstFrameMs;
    long rssAtFirstFrameKb;
    long rssSettledKb;
    long peakKb;
};

bool StartOnce(Display* display, const char* vantel, Run* run) {
    const Window root = DefaultRootWindow(display);
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
    XClearWindow(display, root);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t saver = fork();
    if (saver < 0) return false;
    if (saver == 0) {
        // Its trace lines would only cost the terminal's time.
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) dup2(null, STDERR_FILENO);
        execl(vantel, vantel, "/s", static_cast<char*>(nullptr));
        _exit(127);
    }
    bool shown = false;
    while (!(shown = CentreLit(display, root, width, height)) && Clock::now() - start < kGiveUp)
        std::this_thread::sleep_for(kProbePeriod);
    run->firstFrameMs = Ms(Clock::now() - start);
    run->rssAtFirstFrameKb = StatusKb(saver, "VmRSS");
    std::this_thread::sleep_for(kSettle);
    run->rssSettledKb = StatusKb(saver, "VmRSS");
    run->peakKb = StatusKb(saver, "VmHWM");
    kill(saver, SIGTERM);
    waitpid(saver, nullptr, 0);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_frame VANTEL [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first_frame: cannot open the display\n");
        return 1;
    }
    std::printf("vantel /s at %dx%d, %d starts: process start to the first frame on screen (from outside)\n",
                DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)),
                runs);
    std::printf("%5s %10s %14s %14s %12s\n", "run", "frame ms", "RSS then kB", "RSS +3 s kB", "peak kB");
    std::vector<double> frame, rssThen, rssSettled, peak;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!StartOnce(display, argv[1], &run)) {
            std::fprintf(stderr, "first_frame: run %d showed no frame within 10 s\n", i + 1);
            return 1;
        }
        std::printf("%5d %10.1f %14ld %14ld %12ld\n", i + 1, run.firstFrameMs, run.rssAtFirstFrameKb,
                    run.rssSettledKb, run.peakKb);
        frame.push_back(run.firstFrameMs);
        rssThen.push_back(static_cast<double>(run.rssAtFirstFrameKb));
        rssSettled.push_back(static_cast<double>(run.rssSettledKb));
        peak.push_back(static_cast<double>(run.peakKb));
    }
    std::printf("median %9.1f %14.0f %14.0f %12.0f   (goals: first frame under 100 ms, RSS under 65536 kB)\n",
                Median(frame), Median(rssThen), Median(rssSettled), Median(peak));
    XCloseDisplay(display);
    return 0;
}
