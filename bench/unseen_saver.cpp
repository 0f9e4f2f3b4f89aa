// unseen_saver: the saver in a host's window that nobody can see, measured
// from outside.
//
//   unseen_saver VANTEL [SECONDS]   on $DISPLAY (SECONDS: 20 by default)
//
// Makes a black window over the whole screen, as a screensaver host does,
// and starts `VANTEL --window-id` in it. From 4 s after the start it
// measures, over SECONDS each, the CPU the saver uses (all its threads'
// time on a CPU) and how often it wakes (its threads' context switches):
// while the window shows, while it is unmapped, and while another window
// covers it whole. Each time the window shows again it times the wait for
// the saver's first frame: the first look at the window (MIT-SHM, as often
// as it can) that shows anything but the black the server paints it with.
#include <dirent.h>
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

#include "bench/MemoryFloor.h"
#include "bench/XScreenParts.h"

namespace {

using bench::Clock;
using bench::Ms;

struct Usage {
    double cpuSeconds = 0;
    long wakes = 0;
};

// Summed over the process's threads: time on a CPU (schedstat, ns) and
// context switches (status).
Usage UsageOf(pid_t pid) {
    Usage usage;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) return usage;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string task = tasks + "/" + entry->d_name;
        double ns = 0;
        std::ifstream(task + "/schedstat") >> ns;
        usage.cpuSeconds += ns / 1e9;
        std::ifstream status(task + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.find("ctxt_switches:") != std::string::npos)
                usage.wakes += std::atol(line.c_str() + line.find(':') + 1);
    }
    closedir(dir);
    return usage;
}

void Measure(const char* what, pid_t saver, int seconds) {
    const Usage before = UsageOf(saver);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const Usage after = UsageOf(saver);
    std::printf("%-34s CPU %.3f%% of one core, %.1f wakes a second\n", what,
                100 * (after.cpuSeconds - before.cpuSeconds) / seconds,
                static_cast<double>(after.wakes - before.wakes) / seconds);
}

class Looker {
public:
    Looker(Display* display, Window window) : display_(display), window_(window) {
        image_ = bench::ScreenImage(display, &shm_);
    }
    // Milliseconds from `since` to the first look that shows a drawn pixel;
    // -1 after 5 s without one.
    double UntilDrawn(Clock::time_point since) {
        while (image_ != nullptr && Clock::now() - since < std::chrono::seconds(5)) {
            XShmGetImage(display_, window_, image_, 0, 0, AllPlanes);
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(image_->data);
            const std::size_t count = static_cast<std::size_t>(image_->bytes_per_line / 4) * image_->height;
            for (std::size_t i = 0; i < count; ++i)
                if ((pixels[i] & 0xFFFFFF) != 0) return Ms(Clock::now() - since);
        }
        return -1;
    }

private:
    Display* display_;
    Window window_;
    XImage* image_;
    XShmSegmentInfo shm_{};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: unseen_saver VANTEL [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || !XShmQueryExtension(display)) {
        std::fprintf(stderr, "unseen_saver: no X display with MIT-SHM\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const Window host = bench::ScreenWindow(display);
    const Window cover = bench::ScreenWindow(display);
    XMapWindow(display, host);
    XSync(display, False);
    Looker looker(display, host);

    const std::string id = std::to_string(host);
    const pid_t saver = fork();
    if (saver == 0) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(argv[1], argv[1], "--window-id", id.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::printf("%dx%d, load average %.2f at the start:\n", width, height, [] {
        double load = 0;
        std::ifstream("/proc/loadavg") >> load;
        return load;
    }());
    std::this_thread::sleep_for(std::chrono::seconds(4));
    Measure("window shown", saver, seconds);

    const struct {
        const char* hidden;
        Window window;
        bool unmapHost;
    } ways[] = {{"window unmapped", host, true}, {"window covered by another", cover, false}};
    for (const auto& way : ways) {
        if (way.unmapHost)
            XUnmapWindow(display, host);
        else
            XMapRaised(display, cover);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        Measure(way.hidden, saver, seconds);
        const auto shown = Clock::now();
        if (way.unmapHost)
            XMapWindow(display, host);
        else
            XUnmapWindow(display, cover);
        XSync(display, False);
        std::printf("%-34s first frame after %.1f ms\n", "  shown again:", looker.UntilDrawn(shown));
    }
    kill(saver, SIGTERM);
    waitpid(saver, nullptr, 0);
    XCloseDisplay(display);
    return 0;
}
