// The screensaver's own frame: MoveBox + FrameTick, as the main loop runs it.
//
//   saver_bench            unpaced, on SDL's dummy display (the frame lands in
//                          the off-screen screen image), at 640x480, 1280x720
//                          and 1920x1080, median ms per frame against the
//                          floor measured in the same run: one memset of
//                          colour + z and one memcpy of the frame.
//   saver_bench --cold     at 1920x1080 on the dummy display, 300 times a
//                          sleep of a 60 Hz tick, as a paced saver wakes to
//                          it, then three frames: the first against the
//                          third, what the machine forgets while asleep costs.
//                          (Frames apart in time are not compared: the box
//                          drifts nearer and farther, and its size with it.)
//   saver_bench --paced N  on the real display for N seconds, full screen and
//                          paced as the saver runs: frames per second against
//                          the display's rate, and the CPU time it used. With
//                          XSCREENSAVER_WINDOW set, in that window as a
//                          screensaver host runs the saver.
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Direct3d/Rendal.h"
#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/SaverOptions.h"
#include "ScreenSaver/Scene.h"
#include "Settings/Settings.h"
#include "bench/MemoryFloor.h"

namespace {

using bench::Clock;

// The saver's module state back to where a fresh process starts.
void ForgetScene() {
    RZXCleanup();
    if (BoxTexture) BoxTexture->Release();
    if (CameraFrame) CameraFrame->Release();
    if (SceneFrame) SceneFrame->Release();
    BoxTexture = nullptr;
    CameraFrame = SceneFrame = BoxFrame = nullptr;
    DirX = DirY = DirZ = 1;
}

void RegisterBenchClass() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "SaverBench";
    RegisterClassA(&wc);
}

// The saver's window and scene at `width` x `height`, past its first frames.
bool StartScene(int width, int height) {
    // The screen image the frame lands in is as large as the desktop.
    DxPretendDesktopSize(width, height);
    MainWindow = CreateWindowExA(0, "SaverBench", "Vantel", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, nullptr, nullptr);
    StartRendering();
    if (BuildScene() != 1) return false;
    for (int i = 0; i < 20; ++i) MoveBox(), FrameTick();
    return true;
}

void EndScene() {
    ForgetScene();
    DestroyWindow(MainWindow);
}

// Milliseconds of one frame, the loop's own MoveBox + FrameTick.
double TimedFrame() {
    const auto start = Clock::now();
    MoveBox();
    FrameTick();
    return bench::Ms(Clock::now() - start);
}

int Unpaced() {
    RegisterBenchClass();
    std::printf("saver frame (MoveBox + FrameTick), unpaced, median of 300 frames\n");
    std::printf("%-10s %10s %10s %8s\n", "size", "frame ms", "floor ms", "ratio");
    const int sizes[][2] = {{640, 480}, {1280, 720}, {1920, 1080}};
    for (const auto& size : sizes) {
        if (!StartScene(size[0], size[1])) return 1;
        std::vector<double> samples;
        for (int i = 0; i < 300; ++i) samples.push_back(TimedFrame());
        const double frame = bench::Median(samples);
        const double floor = bench::MemoryFloor(size[0], size[1], 300).frame;
        std::printf("%4dx%-5d %10.3f %10.3f %8.2f\n", size[0], size[1], frame, floor, frame / floor);
        EndScene();
    }
    return 0;
}

int Cold() {
    RegisterBenchClass();
    if (!StartScene(1920, 1080)) return 1;
    std::vector<double> afterSleep, twoLater;
    for (int i = 0; i < 300; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(1'000'000 / 60));
        afterSleep.push_back(TimedFrame());
        TimedFrame();
        twoLater.push_back(TimedFrame());
    }
    const double cold = bench::Median(afterSleep);
    const double warm = bench::Median(twoLater);
    std::printf(
        "saver frame at 1920x1080, medians of 300: %.3f ms after a sleep of a 60 Hz tick, %.3f ms two "
        "frames later (%.2fx)\n",
        cold, warm, cold / warm);
    EndScene();
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int Paced(double seconds) {
    static char module;
    const auto instance = reinterpret_cast<HINSTANCE>(&module);
    HostWindow = ReadSaverOptions("--root", std::getenv("XSCREENSAVER_WINDOW")).host.window;
    if (!RegisterSaverClass(instance) || !CreateSaverWindow(instance, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "no display to run on\n");
        return 1;
    }
    StartRendering();
    if (BuildScene() != 1) return 1;
    SDL_DisplayMode mode{};
    const int rate =
        SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;

    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    long frames = 0;
    MSG msg;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MoveBox();
        FrameTick();
        ++frames;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    RECT client{};
    GetClientRect(MainWindow, &client);
    std::printf(
        "paced saver%s, %dx%d, %.0f s: %.2f frames/s against %d Hz (%.2f%%), CPU %.1f%% of one core\n",
        HostWindow != 0 ? " in a host's window" : "", static_cast<int>(client.right),
        static_cast<int>(client.bottom), wall, frames / wall, rate, 100.0 * (frames / wall) / rate,
        100.0 * cpu / wall);
    DestroyWindow(MainWindow);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    if (argc == 3 && std::string(argv[1]) == "--paced") return Paced(std::atof(argv[2]));
    if (argc == 2 && std::string(argv[1]) == "--cold") return Cold();
    return Unpaced();
}
