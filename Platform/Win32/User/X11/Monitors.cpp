// The monitors of the X screen we draw on, and word of their changes.
//
// SDL (2.26) reads the monitors once and then only hears of outputs that
// come and go: a monitor moved or resized, or one made with RandR 1.5's
// monitor requests, goes unnoticed. So on X11 the monitors are asked of the
// server (a connection of our own, as SDL's can only be had through a
// window), and the changes come as RandR and root window events on SDL's
// connection, which its message pump hands on as system events.
#include <SDL_syswm.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/X11/X11Internal.h"

namespace {

// The connection monitors are asked on; null when not on X11.
Display* monitorConnection = nullptr;
bool monitorConnectionTried = false;
bool hasMonitorRequests = false;  // RandR 1.5
// Where SDL's connection hears of changes: the root window of our windows'
// screen, and the code of its first RandR event (-1: none).
Window watchedRoot = None;
int randrEventBase = -1;

bool OnX11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

Display* MonitorConnection() {
    if (!monitorConnectionTried && OnX11()) {
        monitorConnectionTried = true;
        monitorConnection = XOpenDisplay(nullptr);
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        hasMonitorRequests =
            monitorConnection != nullptr && XRRQueryExtension(monitorConnection, &eventBase, &errorBase) &&
            XRRQueryVersion(monitorConnection, &major, &minor) && (major > 1 || (major == 1 && minor >= 5));
    }
    return monitorConnection;
}

// The active monitors of the default screen, the primary one first; none
// when the server cannot say.
std::vector<SDL_Rect> RandrMonitors() {
    std::vector<SDL_Rect> monitors;
    Display* display = MonitorConnection();
    if (display == nullptr || !hasMonitorRequests) return monitors;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (info == nullptr) return monitors;
    for (int i = 0; i < count; ++i) {
        const SDL_Rect bounds{info[i].x, info[i].y, info[i].width, info[i].height};
        monitors.insert(info[i].primary ? monitors.begin() : monitors.end(), bounds);
    }
    XRRFreeMonitors(info);
    return monitors;
}

}  // namespace

namespace win32user {

std::vector<SDL_Rect> X11Monitors() {
    std::vector<SDL_Rect> monitors = RandrMonitors();
    return monitors.empty() ? SdlDisplayBounds() : monitors;
}

bool KeepToTheNamedScreen() {
    Display* display = MonitorConnection();
    if (display == nullptr || ScreenCount(display) < 2 || DefaultScreen(display) == 0) return true;
    // SDL lists the monitors of every screen, screen 0's first, and opens
    // windows on screen 0 whichever screen the display's name asks for;
    // without RandR it keeps to the one asked for.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void FollowX11Monitors(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0) return;
    const Window root = attributes.root;
    watchedRoot = root;
    // Monitor requests change no output: the server tells of them only by
    // a root window configuration event.
    XWindowAttributes rootAttributes;
    if (XGetWindowAttributes(display, root, &rootAttributes) != 0)
        XSelectInput(display, root, rootAttributes.your_event_mask | StructureNotifyMask);
    int errorBase = 0;
    if (XRRQueryExtension(display, &randrEventBase, &errorBase))
        XRRSelectInput(display, root,
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    else
        randrEventBase = -1;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void NoteMonitorEvent(const SDL_SysWMmsg* message) {
    if (message == nullptr || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = message->msg.x11.event;
    const bool rootChanged = x.type == ConfigureNotify && x.xconfigure.window == watchedRoot;
    const bool randrChanged = randrEventBase >= 0 && (x.type == randrEventBase + RRScreenChangeNotify ||
                                                      x.type == randrEventBase + RRNotify);
    if (rootChanged || randrChanged) CheckDisplayLayout();
}

}  // namespace win32user
