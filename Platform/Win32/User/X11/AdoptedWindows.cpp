// Windows of the display that another program made and owns, drawn into
// through SDL (on X11: a window id handed over). Their owner may resize or
// destroy them at any time; both reach us as events of SDL's own connection.
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/User/X11/XErrors.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

// Every window ever adopted, and those known to be gone.
std::vector<std::uint64_t> adoptedIds;
std::vector<std::uint64_t> goneIds;

bool Contains(const std::vector<std::uint64_t>& ids, std::uint64_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void MarkGone(std::uint64_t id) {
    if (!Contains(goneIds, id)) goneIds.push_back(id);
}

// Why the window cannot be drawn into, or null when it can. Asked on a
// connection of our own: SDL's can only be had through a window, and an
// InputOnly window would only fail later, when SDL first draws, with an X
// error that ends the process in Xlib's raw words.
const char* WindowProblem(std::uint64_t id) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return "the display cannot be opened";
    XWindowAttributes attributes;
    bool exists = false;
    {
        win32user::XErrorTrap trap(display);
        exists = XGetWindowAttributes(display, static_cast<Window>(id), &attributes) != 0;
    }
    XCloseDisplay(display);
    if (!exists) return "there is no such window";
    if (attributes.c_class == InputOnly)
        return "it is an InputOnly window, which takes input but shows nothing";
    return nullptr;
}

HWND Refuse(std::uint64_t id, const char* reason) {
    std::fprintf(stderr, "%s: cannot draw into window 0x%llx on display %s: %s\n", Win32ProgramName(),
                 static_cast<unsigned long long>(id), Win32DisplayName(), reason);
    return nullptr;
}

}  // namespace

namespace win32user {

// A request about an adopted window that finds no such window means its
// owner destroyed it: expected, and noted.
bool NoteAdoptedWindowError(const XErrorEvent& error) {
    const bool noWindow = error.error_code == BadWindow || error.error_code == BadDrawable;
    if (!noWindow || !Contains(adoptedIds, error.resourceid)) return false;
    MarkGone(error.resourceid);
    return true;
}

void NoteAdoptedWindowEvent(const SDL_SysWMmsg* message) {
    if (message == nullptr || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& event = message->msg.x11.event;
    if (event.type == DestroyNotify && Contains(adoptedIds, event.xdestroywindow.window))
        MarkGone(event.xdestroywindow.window);
}

bool AdoptedWindowGone(std::uint64_t nativeWindow) {
    return Contains(goneIds, nativeWindow);
}

}  // namespace win32user

HWND Win32AdoptWindow(LPCSTR lpClassName, std::uint64_t nativeWindow) {
    const WNDCLASSA* windowClass = win32user::FindClassRecord(lpClassName);
    if (windowClass == nullptr || nativeWindow == 0 || !win32user::EnsureVideo()) return nullptr;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return Refuse(nativeWindow, "only an X11 display hands over windows by id");

    win32user::HandleXErrors();
    if (!Contains(adoptedIds, nativeWindow)) adoptedIds.push_back(nativeWindow);
    if (const char* problem = WindowProblem(nativeWindow)) return Refuse(nativeWindow, problem);
    SDL_Window* sdl =
        SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(nativeWindow)));
    if (sdl == nullptr) return Refuse(nativeWindow, SDL_GetError());
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(sdl, &info) != SDL_TRUE) {
        SDL_DestroyWindow(sdl);
        return Refuse(nativeWindow, SDL_GetError());
    }
    // The owner's resizing and destruction then reach SDL's connection; SDL
    // follows the size itself and hands the destruction on as a system event.
    // Exposures tell what the display lost of what was drawn there.
    Display* display = info.info.x11.display;
    XSelectInput(display, static_cast<Window>(nativeWindow), StructureNotifyMask | ExposureMask);
    XSync(display, False);
    if (win32user::AdoptedWindowGone(nativeWindow)) {
        SDL_DestroyWindow(sdl);
        return Refuse(nativeWindow, "the window went away");
    }
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    HWND hWnd = win32user::AddWindow(*windowClass, sdl);
    hWnd->adopted = nativeWindow;
    return hWnd;
}
