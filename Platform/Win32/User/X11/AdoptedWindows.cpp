// Windows of the display that another program made and owns, drawn into
// through SDL (on X11: a window id handed over). Their owner may resize or
// destroy them at any time; both reach us as events of SDL's own connection.
#include <SDL_syswm.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/User/X11/XErrors.h"

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

bool AdoptedXWindowGone(std::uint64_t nativeWindow) {
    return Contains(goneIds, nativeWindow);
}

SDL_Window* AdoptXWindow(std::uint64_t nativeWindow, std::string& problem) {
    HandleXErrors();
    if (!Contains(adoptedIds, nativeWindow)) adoptedIds.push_back(nativeWindow);
    if (const char* why = WindowProblem(nativeWindow)) {
        problem = why;
        return nullptr;
    }
    SDL_Window* sdl =
        SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(nativeWindow)));
    if (sdl == nullptr) {
        problem = SDL_GetError();
        return nullptr;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(sdl, &info) != SDL_TRUE) {
        problem = SDL_GetError();
        SDL_DestroyWindow(sdl);
        return nullptr;
    }
    // The owner's resizing and destruction then reach SDL's connection; SDL
    // follows the size itself and hands the destruction on as a system event.
    // Exposures tell what the display lost of what was drawn there.
    Display* display = info.info.x11.display;
    XSelectInput(display, static_cast<Window>(nativeWindow), StructureNotifyMask | ExposureMask);
    XSync(display, False);
    if (AdoptedXWindowGone(nativeWindow)) {
        problem = "the window went away";
        SDL_DestroyWindow(sdl);
        return nullptr;
    }
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return sdl;
}

}  // namespace win32user
