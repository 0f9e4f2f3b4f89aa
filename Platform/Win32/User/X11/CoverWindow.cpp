// The window that covers every monitor, on X11: one that no window manager
// places, frames or stacks (override-redirect), since a managed one is put
// on a single monitor, or below a panel, as each manager sees fit. What a
// manager would do for it, it does itself: it goes back above any window
// mapped or raised over it, and it takes the keyboard and the pointer, which
// would otherwise go to whichever window has the focus.
#include <SDL_syswm.h>

#include <cstdio>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

// Raises at most this often: a client that raises its own window in turn
// (another saver, a notification) must not make the two of us spin.
constexpr Uint32 kRaiseSpacingMs = 100;
// A grab held by another client is asked for again this often, for this
// long, and then said and asked for quietly at the slower pace.
constexpr Uint32 kGrabRetryMs = 100;
constexpr Uint32 kGrabPatienceMs = 5000;
constexpr Uint32 kGrabLaterMs = 1000;

struct Cover {
    SDL_Window* sdl = nullptr;
    Display* display = nullptr;
    Window window = None;
    Window root = None;
    bool shown = false;
    bool raiseDue = false;
    Uint32 lastRaise = 0;
    bool keyboard = false;  // grabbed
    bool pointer = false;
    Uint32 shownAt = 0;
    Uint32 lastTry = 0;
    bool told = false;
};

Cover cover;

const char* GrabProblem(int status) {
    switch (status) {
        case AlreadyGrabbed:
            return "another program holds it";
        case GrabFrozen:
            return "another program has frozen it";
        case GrabNotViewable:
            return "the window is not showing";
        default:
            return "the server refused";
    }
}

void TryGrabs(Uint32 now) {
    cover.lastTry = now;
    int failed = GrabSuccess;
    if (!cover.keyboard) {
        const int status =
            XGrabKeyboard(cover.display, cover.window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        cover.keyboard = status == GrabSuccess;
        failed = status;
    }
    if (!cover.pointer) {
        const int status = XGrabPointer(cover.display, cover.window, False,
                                        ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                        GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        cover.pointer = status == GrabSuccess;
        if (failed == GrabSuccess) failed = status;
    }
    if ((cover.keyboard && cover.pointer) || cover.told || now - cover.shownAt < kGrabPatienceMs) return;
    cover.told = true;
    const char* what = cover.keyboard ? "pointer" : cover.pointer ? "keyboard" : "keyboard and the pointer";
    std::fprintf(stderr, "%s: cannot take the %s of display %s: %s; running on, asking again every second\n",
                 Win32ProgramName(), what, DisplayString(cover.display), GrabProblem(failed));
}

}  // namespace

namespace win32user {

bool MakeCoverWindowOnX11(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return false;
    cover = Cover{};
    cover.sdl = window;
    cover.display = info.info.x11.display;
    cover.window = info.info.x11.window;
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    XChangeWindowAttributes(cover.display, cover.window, CWOverrideRedirect, &unmanaged);
    // Every window mapped or restacked at the top level is told of on the root.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(cover.display, cover.window, &attributes) != 0) {
        // SDL lets go of both grabs whenever the pointer enters this window or
        // it gains or loses the focus without SDL's own grabs asked for (and
        // those come only with a focus that no manager gives this window):
        // it must not hear of either. The grabs decide where input goes.
        XSelectInput(cover.display, cover.window,
                     attributes.your_event_mask & ~(FocusChangeMask | EnterWindowMask | LeaveWindowMask));
        cover.root = attributes.root;
        XWindowAttributes rootAttributes;
        if (XGetWindowAttributes(cover.display, cover.root, &rootAttributes) != 0)
            XSelectInput(cover.display, cover.root, rootAttributes.your_event_mask | SubstructureNotifyMask);
    }
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return true;
}

void NoteCoverShown(SDL_Window* window, bool shown) {
    if (cover.sdl == nullptr || window != cover.sdl) return;
    cover.shown = shown;
    // The server lets go of both grabs when the window is unmapped.
    cover.keyboard = cover.pointer = false;
    if (!shown) return;
    cover.told = false;
    cover.shownAt = SDL_GetTicks();
    TryGrabs(cover.shownAt);
}

void ForgetCoverWindow(SDL_Window* window) {
    if (window == cover.sdl) cover = Cover{};
}

void NoteStackingEvent(const SDL_SysWMmsg* message) {
    if (cover.sdl == nullptr || message == nullptr || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = message->msg.x11.event;
    Window moved = None;
    if (x.type == MapNotify && x.xmap.event == cover.root) moved = x.xmap.window;
    if (x.type == ConfigureNotify && x.xconfigure.event == cover.root) moved = x.xconfigure.window;
    if (x.type == CirculateNotify && x.xcirculate.event == cover.root) moved = x.xcirculate.window;
    if (moved == None || moved == cover.window || moved == cover.root) return;
    cover.raiseDue = true;
    TendCoverWindow();
}

void TendCoverWindow() {
    if (!cover.shown || (!cover.raiseDue && cover.keyboard && cover.pointer)) return;
    const Uint32 now = SDL_GetTicks();
    if (cover.raiseDue && now - cover.lastRaise >= kRaiseSpacingMs) {
        cover.raiseDue = false;
        cover.lastRaise = now;
        XRaiseWindow(cover.display, cover.window);
        XFlush(cover.display);
    }
    if ((!cover.keyboard || !cover.pointer) &&
        now - cover.lastTry >= (cover.told ? kGrabLaterMs : kGrabRetryMs))
        TryGrabs(now);
}

}  // namespace win32user
