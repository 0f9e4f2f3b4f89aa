// Whether anybody can see a window on X11. A connection of our own listens
// for the window's map and visibility changes, so that the selections of
// other clients on it (SDL's, a host's) stay as they are, and sleeping on it
// wakes for them. The monitors' power (DPMS) comes with no event: it is
// asked once a second, also while sleeping with the monitors off.
#include <SDL_syswm.h>
#include <poll.h>

#include "Platform/Win32/User/WindowSight.h"
#include "Platform/Win32/User/X11/DisplayPower.h"
#include "Platform/Win32/User/X11/X11Internal.h"

namespace win32user {
namespace {

// How often the display is looked at while drawing, and its power asked.
constexpr Uint64 kLookMs = 100;
constexpr Uint64 kPowerLookMs = 1000;

class XWindowSight final : public WindowSight {
public:
    XWindowSight(Display* own, Display* sdl, Window window);
    ~XWindowSight() override { XCloseDisplay(own_); }
    XWindowSight(const XWindowSight&) = delete;
    XWindowSight& operator=(const XWindowSight&) = delete;

    bool Seen() override;
    void Await() override;

private:
    void TakeEvents();
    // The display's word on its monitors; nothing when it has none.
    std::optional<PowerLevel> AskPower();

    Display* own_;
    Display* sdl_;  // SDL's connection, which input comes on
    bool dpms_ = false;
    bool viewable_ = true;
    bool obscured_ = false;
    std::optional<PowerLevel> power_;
    Uint64 nextLook_ = 0;
    Uint64 nextPowerLook_ = 0;
};

XWindowSight::XWindowSight(Display* own, Display* sdl, Window window) : own_(own), sdl_(sdl) {
    // Selected before the state is read, so that no change falls between.
    XSelectInput(own_, window, StructureNotifyMask | VisibilityChangeMask);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(own_, window, &attributes) != 0) viewable_ = attributes.map_state == IsViewable;
    dpms_ = HasDpms(own_);
}

std::optional<PowerLevel> XWindowSight::AskPower() {
    if (!dpms_) return std::nullopt;
    const std::optional<int> level = DpmsLevel(own_);
    if (!level || *level < 0 || *level > 3) return std::nullopt;
    return static_cast<PowerLevel>(*level);
}

void XWindowSight::TakeEvents() {
    // Reading an idle connection costs more than one look at it.
    pollfd connection{ConnectionNumber(own_), POLLIN, 0};
    if (XEventsQueued(own_, QueuedAlready) == 0 && poll(&connection, 1, 0) == 0) return;
    while (XEventsQueued(own_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(own_, &event);
        switch (event.type) {
            case MapNotify:
                viewable_ = true;
                break;
            case UnmapNotify:
                viewable_ = false;
                obscured_ = false;
                break;
            // Sent only to a viewable window: also when an ancestor of it is
            // mapped again, which it hears of in no other way.
            case VisibilityNotify:
                viewable_ = true;
                obscured_ = event.xvisibility.state == VisibilityFullyObscured;
                break;
            default:
                break;
        }
    }
}

bool XWindowSight::Seen() {
    const Uint64 now = SDL_GetTicks64();
    if (now >= nextLook_) {
        TakeEvents();
        nextLook_ = now + kLookMs;
    }
    if (now >= nextPowerLook_) {
        power_ = AskPower();
        nextPowerLook_ = now + kPowerLookMs;
    }
    const std::optional<PowerLevel> power = PretendedPower() ? PretendedPower() : power_;
    return viewable_ && !obscured_ && power.value_or(PowerLevel::On) == PowerLevel::On;
}

void XWindowSight::Await() {
    // What either connection has read already wakes nobody.
    if (XEventsQueued(own_, QueuedAlready) == 0 && XEventsQueued(sdl_, QueuedAfterFlush) == 0) {
        pollfd connections[]{{ConnectionNumber(own_), POLLIN, 0}, {ConnectionNumber(sdl_), POLLIN, 0}};
        // Without a power to ask, only an event changes what is seen.
        const bool askingPower = dpms_ || PretendedPower();
        if (poll(connections, 2, askingPower ? static_cast<int>(kPowerLookMs) : -1) == 0) nextPowerLook_ = 0;
    }
    nextLook_ = 0;
}

}  // namespace

std::unique_ptr<WindowSight> MakeXWindowSight(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return nullptr;
    Display* own = XOpenDisplay(DisplayString(info.info.x11.display));
    if (own == nullptr) return nullptr;
    return std::make_unique<XWindowSight>(own, info.info.x11.display, info.info.x11.window);
}

}  // namespace win32user
