// What the window and message stand-in needs of a display system beside
// SDL's video driver: one implementation for X11 (X11/), one for a Wayland
// display of our own (Wayland/). DisplayChoice.cpp alone picks which one is
// in use; the rest of the stand-in only asks DisplayInUse.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/User/WindowSight.h"

namespace win32user {

class DisplayServer {
public:
    virtual ~DisplayServer() = default;

    // Connects to the display `name`: empty when it can show our windows,
    // and then it stays connected; else why not, in a few words naming it.
    virtual std::string Start(const char* name) = 0;
    // The SDL video driver that windows on this display are made with.
    virtual const char* SdlDriver() const = 0;
    // Whether SDL's driver knows the display's screen (its desktop mode is
    // the screen's), rather than running apart from the display.
    virtual bool SdlSeesTheScreen() const = 0;
    // Once SDL's video is up on SdlDriver(): readies what the display needs
    // beside it. False, with SDL's error saying why, when it cannot.
    virtual bool VideoStarted() = 0;
    // SDL's video is up, or will not be: what Start held open for it can go.
    virtual void VideoTried() = 0;

    // Where the monitors lie, the primary one first.
    virtual std::vector<SDL_Rect> Monitors() = 0;
    // From now on a change of the monitors calls CheckDisplayLayout;
    // `window` shows which screen and connection to watch.
    virtual void FollowMonitors(SDL_Window* window) = 0;
    // Looks at what the display said on SDL's connection.
    virtual void NoteSystemEvent(const SDL_SysWMmsg* message) = 0;
    // Takes what the display said, without waiting; called whenever
    // messages are looked for.
    virtual void Pump() = 0;
    // Whether pumping SDL's events may find anything new; when not, a look
    // for messages takes only what SDL holds already. Looked for every
    // frame: it should cost less than the pump, which reads the display
    // whether or not it said anything.
    virtual bool EventsMayWait() { return true; }
    // Sleeps until SDL has an event; false when it cannot wait.
    virtual bool AwaitEvent() = 0;

    // A window's pixels; null to draw through SDL's window surface.
    // `adopted`: another program's window, whose colours stay its owner's.
    virtual std::unique_ptr<WindowPixels> MakePixels(SDL_Window* window, bool adopted) = 0;
    // Whether anybody can see a window; null when it always counts as seen.
    virtual std::unique_ptr<WindowSight> MakeSight(SDL_Window* window) = 0;
    // As UseScreenVisual and ScreenBitsPerPixel, once video is up.
    virtual void UseScreenVisual() = 0;
    virtual int ScreenBitsPerPixel() = 0;

    // Makes `window`, not yet mapped, the one that covers every monitor: no
    // window manager places or stacks it, it goes back above any window put
    // over it, and once shown it takes the keyboard and the pointer (a grab
    // held elsewhere is asked for again, and after a few seconds said in one
    // line). False where the display has no such window (nothing is done).
    virtual bool MakeCoverWindow(SDL_Window*) { return false; }
    // `window` was shown or hidden; the covering window takes or loses the
    // keyboard and pointer then.
    virtual void NoteShown(SDL_Window* /*window*/, bool /*shown*/) {}
    // `window` is about to be destroyed.
    virtual void ForgetWindow(SDL_Window*) {}

    // An SDL window over another program's window `nativeWindow`, watched
    // for its destruction; null with `problem` saying why not, in a few
    // words (left as it was where the display hands over no windows).
    virtual SDL_Window* AdoptWindow(std::uint64_t /*nativeWindow*/, std::string& /*problem*/) {
        return nullptr;
    }
    // Whether the adopted window `nativeWindow` is known to be gone.
    virtual bool AdoptedWindowGone(std::uint64_t /*nativeWindow*/) { return false; }
};

// Each display system's, made in its own folder; neither connects yet.
std::unique_ptr<DisplayServer> MakeX11Server();
std::unique_ptr<DisplayServer> MakeWaylandServer();

// The display system windows are on: the one chosen (DisplayChoice.h), or
// X11 where SDL_VIDEODRIVER had SDL pick its X11 driver; null when SDL's
// driver stands alone (dummy, off-screen) or video is not chosen yet.
DisplayServer* DisplayInUse();

}  // namespace win32user
