// The Wayland display system: the session of our own (Session.h) beside
// SDL's off-screen driver, since SDL's Wayland driver would load EGL and GL
// for every window it makes.
#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/Wayland/Session.h"

namespace win32user {
namespace {

class WaylandServer final : public DisplayServer {
public:
    std::string Start(const char* name) override { return StartWaylandSession(name); }
    const char* SdlDriver() const override { return "offscreen"; }
    bool SdlSeesTheScreen() const override { return false; }
    // Only now, past the program's checks (one copy at a time), is anything shown.
    bool VideoStarted() override {
        WaylandGlobals()->MakeSurfaces();
        return true;
    }
    void VideoTried() override {}

    std::vector<SDL_Rect> Monitors() override { return WaylandOutputBounds(); }
    // The pump tells of the outputs' changes.
    void FollowMonitors(SDL_Window*) override {}
    void NoteSystemEvent(const SDL_SysWMmsg*) override {}
    void Pump() override { PumpWaylandSession(); }
    bool AwaitEvent() override {
        // SDL's off-screen driver cannot sleep until an event comes (it looks
        // every millisecond) and knows nothing of the compositor: sleep on
        // the compositor's word instead, which input comes with, or on a
        // signal SDL makes a quit event of.
        const QuitSignalsHeld held;
        for (;;) {
            PumpWaylandSession();
            if (SDL_PollEvent(nullptr) == 1) return true;
            WaitForWayland(-1, held);
        }
    }

    std::unique_ptr<WindowPixels> MakePixels(SDL_Window* window, bool) override {
        return MakeWaylandWindowPixels(window);
    }
    std::unique_ptr<WindowSight> MakeSight(SDL_Window*) override { return MakeWaylandWindowSight(); }
    void UseScreenVisual() override {}
    int ScreenBitsPerPixel() override { return SdlScreenBitsPerPixel(); }
};

}  // namespace

std::unique_ptr<DisplayServer> MakeWaylandServer() {
    return std::make_unique<WaylandServer>();
}

}  // namespace win32user
