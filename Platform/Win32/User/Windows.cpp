// Window classes and windows, each window backed by one SDL window.
#include <strings.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/User/WindowSight.h"
#include "Platform/Win32/Win32Extensions.h"
#include "Platform/Win32/Win32TestHooks.h"

namespace {

struct WindowClass {
    std::string name;
    ATOM atom;
    WNDCLASSA record;
};

constexpr const char* kHandleKey = "Win32.HWND";
constexpr ATOM kFirstAtom = 0xC000;  // where registered class atoms start

std::vector<WindowClass>& Classes() {
    static std::vector<WindowClass> classes;
    return classes;
}

std::vector<std::unique_ptr<HWND__>>& Windows() {
    static std::vector<std::unique_ptr<HWND__>> windows;
    return windows;
}

HWND activeWindow = nullptr;
Win32DefaultProcLog defaultProcSeen{};

// A class is named by its text or, as MAKEINTATOM does, by its atom in the low word.
const WindowClass* FindClass(LPCSTR name) {
    if (name == nullptr) return nullptr;
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    for (const WindowClass& c : Classes()) {
        if (value <= 0xFFFF ? c.atom == value : strcasecmp(c.name.c_str(), name) == 0) return &c;
    }
    return nullptr;
}

bool CoversScreen(int x, int y, int width, int height) {
    SDL_DisplayMode mode;
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 && x == 0 && y == 0 && width == mode.w &&
           height == mode.h;
}

// A rectangle that reaches over more than the first display, as all of them together do.
bool SpansDisplays(int x, int y, int width, int height) {
    const SDL_Rect all = win32user::VirtualScreen();
    return win32user::DisplayBounds().size() > 1 && x == all.x && y == all.y && width == all.w &&
           height == all.h;
}

void NoteShown(SDL_Window* sdl, bool shown) {
    if (win32user::DisplayServer* server = win32user::DisplayInUse()) server->NoteShown(sdl, shown);
}

bool AdoptedWindowGone(std::uint64_t nativeWindow) {
    win32user::DisplayServer* server = win32user::DisplayInUse();
    return server != nullptr && server->AdoptedWindowGone(nativeWindow);
}

}  // namespace

namespace win32user {

const WNDCLASSA* FindClassRecord(LPCSTR name) {
    const WindowClass* windowClass = FindClass(name);
    return windowClass != nullptr ? &windowClass->record : nullptr;
}

HWND AddWindow(const WNDCLASSA& windowClass, SDL_Window* sdl) {
    auto window = std::make_unique<HWND__>();
    window->sdl = sdl;
    window->proc = windowClass.lpfnWndProc;
    window->background = windowClass.hbrBackground;
    window->dc.window = window.get();
    HWND hWnd = window.get();
    Windows().push_back(std::move(window));
    SDL_SetWindowData(sdl, kHandleKey, hWnd);
    return hWnd;
}

bool DestroyVanishedWindows() {
    bool destroyed = false;
    // By index: a window procedure handling WM_DESTROY may create windows.
    for (std::size_t i = 0; i < Windows().size(); ++i) {
        HWND w = Windows()[i].get();
        if (w->destroyed || w->adopted == 0 || !AdoptedWindowGone(w->adopted)) continue;
        DestroyWindow(w);
        destroyed = true;
    }
    return destroyed;
}

void PostToEveryWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const auto& w : Windows())
        if (!w->destroyed) PostMessageA(w.get(), message, wParam, lParam);
}

HWND LiveWindow(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    for (const auto& w : Windows()) {
        if (w.get() == hWnd) return w->destroyed ? nullptr : hWnd;
    }
    return nullptr;
}

HWND WindowFromSdlId(Uint32 windowId) {
    SDL_Window* sdl = SDL_GetWindowFromID(windowId);
    if (sdl == nullptr) return nullptr;
    return LiveWindow(static_cast<HWND>(SDL_GetWindowData(sdl, kHandleKey)));
}

}  // namespace win32user

ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->lpfnWndProc == nullptr || lpWndClass->lpszClassName == nullptr ||
        reinterpret_cast<std::uintptr_t>(lpWndClass->lpszClassName) <= 0xFFFF ||
        lpWndClass->lpszClassName[0] == '\0' || FindClass(lpWndClass->lpszClassName) != nullptr) {
        return 0;
    }
    auto& classes = Classes();
    const ATOM atom = static_cast<ATOM>(kFirstAtom + classes.size());
    classes.push_back({lpWndClass->lpszClassName, atom, *lpWndClass});
    classes.back().record.lpszClassName = classes.back().name.c_str();
    classes.back().record.lpszMenuName = nullptr;
    return atom;
}

HWND CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
                     int nHeight, HWND, HMENU, HINSTANCE, LPVOID) {
    const WindowClass* windowClass = FindClass(lpClassName);
    if (windowClass == nullptr || nWidth <= 0 || nHeight <= 0 || !win32user::EnsureVideo()) return nullptr;

    Uint32 flags = SDL_WINDOW_HIDDEN;
    const bool popup = (dwStyle & WS_POPUP) != 0;
    const bool fullScreen = popup && CoversScreen(X, Y, nWidth, nHeight);
    const bool spans = popup && !fullScreen && SpansDisplays(X, Y, nWidth, nHeight);
    if (popup) {
        flags |= SDL_WINDOW_BORDERLESS;
        // SDL's full screen keeps to one display; a window over all of them
        // stays a plain one, above the others.
        if (spans) flags |= SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
    }
    win32user::UseScreenVisual();
    SDL_Window* sdl =
        SDL_CreateWindow(lpWindowName != nullptr ? lpWindowName : "", X, Y, nWidth, nHeight, flags);
    if (sdl == nullptr) {
        std::fprintf(stderr, "%s: cannot create a %dx%d window on display %s: %s\n", Win32ProgramName(),
                     nWidth, nHeight, Win32DisplayName(), SDL_GetError());
        return nullptr;
    }
    // A window over the whole screen or all the monitors is the display's
    // covering window where it has one (X11), whatever manages the others;
    // elsewhere SDL's full screen, with the size
    // given explicitly (a full-screen window of no stated size may stay 1x1).
    win32user::DisplayServer* server = win32user::DisplayInUse();
    const bool covering = (fullScreen || spans) && server != nullptr && server->MakeCoverWindow(sdl);
    if (fullScreen && !covering) SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    HWND hWnd = win32user::AddWindow(windowClass->record, sdl);
    win32user::FollowDisplayChanges(sdl);
    if ((dwStyle & WS_VISIBLE) != 0) ShowWindow(hWnd, SW_SHOW);
    return hWnd;
}

HWND Win32AdoptWindow(LPCSTR lpClassName, std::uint64_t nativeWindow) {
    const WindowClass* windowClass = FindClass(lpClassName);
    if (windowClass == nullptr || nativeWindow == 0 || !win32user::EnsureVideo()) return nullptr;
    std::string problem = "only an X11 display hands over windows by id";
    win32user::DisplayServer* server = win32user::DisplayInUse();
    SDL_Window* sdl = server != nullptr ? server->AdoptWindow(nativeWindow, problem) : nullptr;
    if (sdl == nullptr) {
        std::fprintf(stderr, "%s: cannot draw into window 0x%llx on display %s: %s\n", Win32ProgramName(),
                     static_cast<unsigned long long>(nativeWindow), Win32DisplayName(), problem.c_str());
        return nullptr;
    }
    HWND hWnd = win32user::AddWindow(windowClass->record, sdl);
    hWnd->adopted = nativeWindow;
    return hWnd;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    HWND w = win32user::LiveWindow(hWnd);
    // An adopted window's place and size are its owner's to choose.
    if (w == nullptr || w->adopted != 0 || nWidth <= 0 || nHeight <= 0) return FALSE;
    SDL_SetWindowPosition(w->sdl, X, Y);
    SDL_SetWindowSize(w->sdl, nWidth, nHeight);
    if (bRepaint) UpdateWindow(hWnd);
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    const bool wasVisible = (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_SHOWN) != 0;
    // An adopted window shows when its owner says so; only the handle's state changes.
    const bool owned = w->adopted == 0;
    if (nCmdShow == SW_HIDE) {
        if (owned) SDL_HideWindow(w->sdl);
        NoteShown(w->sdl, false);
        if (activeWindow == w) activeWindow = nullptr;
    } else {
        if (owned) {
            SDL_ShowWindow(w->sdl);
            SDL_RaiseWindow(w->sdl);
            NoteShown(w->sdl, true);
        }
        activeWindow = w;
    }
    return wasVisible ? TRUE : FALSE;
}

// Paints the whole window with its class brush at once, so it never shows
// stale screen contents before its owner first draws.
BOOL UpdateWindow(HWND hWnd) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    if (w->background == nullptr) return TRUE;
    const HBRUSH brush = w->background;
    return win32user::PixelsOf(w)->Paint(brush->red, brush->green, brush->blue) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hWnd) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr || w->destroying) return FALSE;
    w->destroying = true;
    // The window still exists while its procedure handles WM_DESTROY.
    w->proc(w, WM_DESTROY, 0, 0);
    win32user::ForgetPixels(w);
    if (win32user::DisplayServer* server = win32user::DisplayInUse()) server->ForgetWindow(w->sdl);
    win32user::ForgetSight(w);
    // SDL leaves a window it adopted to its owner.
    SDL_DestroyWindow(w->sdl);
    w->sdl = nullptr;
    w->destroyed = true;
    if (activeWindow == w) activeWindow = nullptr;
    return TRUE;
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    ++defaultProcSeen.count;
    defaultProcSeen.last = MSG{hWnd, Msg, wParam, lParam, 0, {0, 0}};
    if (Msg == WM_CLOSE) DestroyWindow(hWnd);
    return 0;
}

Win32DefaultProcLog Win32DefaultProcSeen() {
    return defaultProcSeen;
}

HWND GetActiveWindow() {
    return win32user::LiveWindow(activeWindow);
}

SDL_Window* Win32SdlWindow(HWND hWnd) {
    HWND w = win32user::LiveWindow(hWnd);
    return w != nullptr ? w->sdl : nullptr;
}

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(w->sdl, &width, &height);
    *lpRect = {0, 0, width, height};
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, POINT* lpPoint) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr || lpPoint == nullptr) return FALSE;
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(w->sdl, &x, &y);
    lpPoint->x += x;
    lpPoint->y += y;
    return TRUE;
}
