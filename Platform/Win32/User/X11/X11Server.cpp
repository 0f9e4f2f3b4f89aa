// The X11 display system: SDL's X11 driver makes the windows; the monitors,
// the pixels, whether a window is seen and the end on a lost server are ours.
#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/X11/X11Internal.h"

namespace win32user {
namespace {

class X11Server final : public DisplayServer {
public:
    std::string Start(const char* name) override {
        const std::string problem = XDisplayProblem(name);
        return problem.empty() ? problem : "cannot open the X display " + std::string(name) + ": " + problem;
    }
    const char* SdlDriver() const override { return "x11"; }
    bool SdlSeesTheScreen() const override { return true; }
    bool VideoStarted() override {
        if (!KeepToTheNamedScreen()) return false;
        // A GL-backed window surface makes every full-screen present many
        // times slower than one straight from shared memory.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        EndOnLostDisplay();
        return true;
    }
    void VideoTried() override { ReleaseDisplayProbe(); }

    std::vector<SDL_Rect> Monitors() override { return X11Monitors(); }
    void FollowMonitors(SDL_Window* window) override {
        FollowX11Monitors(window);
        WatchSdlConnection(window);
    }
    void NoteSystemEvent(const SDL_SysWMmsg* message) override {
        NoteAdoptedWindowEvent(message);
        NoteMonitorEvent(message);
        NoteStackingEvent(message);
    }
    void Pump() override { TendCoverWindow(); }
    bool EventsMayWait() override { return SdlEventsMayWait(); }
    bool AwaitEvent() override { return SDL_WaitEvent(nullptr) == 1; }

    std::unique_ptr<WindowPixels> MakePixels(SDL_Window* window, bool adopted) override {
        return MakeXWindowPixels(window, adopted);
    }
    std::unique_ptr<WindowSight> MakeSight(SDL_Window* window) override { return MakeXWindowSight(window); }
    void UseScreenVisual() override { UseXScreenVisual(); }
    int ScreenBitsPerPixel() override { return XScreenBitsPerPixel(); }

    bool MakeCoverWindow(SDL_Window* window) override { return MakeCoverWindowOnX11(window); }
    void NoteShown(SDL_Window* window, bool shown) override { NoteCoverShown(window, shown); }
    void ForgetWindow(SDL_Window* window) override { ForgetCoverWindow(window); }
    SDL_Window* AdoptWindow(std::uint64_t nativeWindow, std::string& problem) override {
        SDL_Window* window = AdoptXWindow(nativeWindow, problem);
        if (window != nullptr) WatchSdlConnection(window);
        return window;
    }
    bool AdoptedWindowGone(std::uint64_t nativeWindow) override { return AdoptedXWindowGone(nativeWindow); }
};

}  // namespace

std::unique_ptr<DisplayServer> MakeX11Server() {
    return std::make_unique<X11Server>();
}

}  // namespace win32user
