// SDL video start-up, the screen's size and what kind of display we run on.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/Win32Extensions.h"
#include "Platform/Win32/Win32TestHooks.h"

namespace {

std::vector<SDL_Rect> pretendedDisplays;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

namespace win32user {

namespace {

// `said`: what Xlib wrote meanwhile, the X server's reason among it.
bool CannotStart(const std::string& said = {}) {
    const std::string server = FirstLine(said);
    std::fprintf(stderr, "%s: cannot start the video of display %s: %s%s%s\n", Win32ProgramName(),
                 Win32DisplayName(), SDL_GetError(), server.empty() ? "" : ": ", server.c_str());
    return false;
}

bool StartVideo() {
    // Without a display SDL would quietly pick an invisible off-screen
    // driver; a window nobody can see must fail instead. That driver, or
    // the dummy one, runs only when SDL_VIDEODRIVER names it.
    if (!Set("SDL_VIDEODRIVER") && !NarrowVideoDrivers()) return false;
    // A full-screen window must stay up when another program takes the focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A click that gives a window the focus is still a click (SDL drops it otherwise).
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // SDL would hold off the display's own screen saver and its power
    // saving (DPMS) for as long as we run: the monitors must still go off.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    int started = 0;
    const std::string said = SaidDuring([&] { started = SDL_InitSubSystem(SDL_INIT_VIDEO); });
    if (started != 0) return CannotStart(said);
    std::fputs(said.c_str(), stderr);
    DisplayServer* server = DisplayInUse();
    if (server != nullptr && !server->VideoStarted()) return CannotStart();
    ApplyCursorVisibility();
    return true;
}

}  // namespace

bool EnsureVideo() {
    static bool failed = false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    if (failed) return false;
    failed = !StartVideo();
    if (DisplayServer* server = DisplayInUse()) server->VideoTried();
    return !failed;
}

std::vector<SDL_Rect> DisplayBounds() {
    if (!pretendedDisplays.empty()) return pretendedDisplays;
    if (!EnsureVideo()) return {};
    return MonitorBounds();
}

SDL_Rect VirtualScreen() {
    SDL_Rect all{0, 0, 0, 0};
    // A union with an empty rectangle is the other one.
    for (const SDL_Rect& bounds : DisplayBounds()) SDL_UnionRect(&all, &bounds, &all);
    return all;
}

}  // namespace win32user

int GetSystemMetrics(int nIndex) {
    switch (nIndex) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            const win32user::DisplayServer* server = win32user::DisplayInUse();
            if (server != nullptr && !server->SdlSeesTheScreen()) {
                const std::vector<SDL_Rect> displays = win32user::DisplayBounds();
                if (displays.empty()) return 0;
                return nIndex == SM_CXSCREEN ? displays.front().w : displays.front().h;
            }
            SDL_DisplayMode mode;
            if (!win32user::EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
            return nIndex == SM_CXSCREEN ? mode.w : mode.h;
        }
        case SM_XVIRTUALSCREEN:
            return win32user::VirtualScreen().x;
        case SM_YVIRTUALSCREEN:
            return win32user::VirtualScreen().y;
        case SM_CXVIRTUALSCREEN:
            return win32user::VirtualScreen().w;
        case SM_CYVIRTUALSCREEN:
            return win32user::VirtualScreen().h;
        default:
            return 0;
    }
}

bool Win32HasRealDisplay(HWND hWnd) {
    if (win32user::LiveWindow(hWnd) == nullptr) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return win32user::DisplayInUse() != nullptr ||
           (driver != nullptr && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0);
}

void Win32PretendDisplays(const RECT* displays, int count) {
    pretendedDisplays.clear();
    for (int i = 0; i < count; ++i)
        pretendedDisplays.push_back(SDL_Rect{displays[i].left, displays[i].top,
                                             displays[i].right - displays[i].left,
                                             displays[i].bottom - displays[i].top});
}
