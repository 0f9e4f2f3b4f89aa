// What the pieces of the window, message and display stand-in share.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Win32/Win32Extensions.h"

// A device context only says which surface it describes: a window's, or the
// whole screen's when `window` is null.
struct HDC__ {
    HWND window;
};

struct HBRUSH__ {
    BYTE red;
    BYTE green;
    BYTE blue;
};

// A window lives on after DestroyWindow, marked destroyed, so that a stale
// handle (a saved MainWindow, a message still queued for it) stays harmless.
struct HWND__ {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    HDC__ dc{};
    bool destroying = false;
    bool destroyed = false;
    // The display's window this one draws into without owning it
    // (Win32AdoptWindow); 0 for a window of our own.
    std::uint64_t adopted = 0;
};

namespace win32user {

// Starts SDL's video once. False, with one line on standard error, when
// there is no display to open windows on or SDL cannot reach it.
bool EnsureVideo();

// Holds SDL to the driver of the display system Win32ChooseDisplay chooses
// (DisplayServer::SdlDriver; called only when SDL_VIDEODRIVER names none).
// False, with one line on standard error naming the display and why it
// cannot be had, when none can. The chosen display stays connected.
bool NarrowVideoDrivers();

// Runs `call` with standard error caught: what was written there meanwhile.
std::string SaidDuring(const std::function<void()>& call);
// The first line of `text` that is not blank, without its line end.
std::string FirstLine(const std::string& text);

// The class registered under `name` (its text or its atom), else null.
const WNDCLASSA* FindClassRecord(LPCSTR name);
// A new handle for `sdl`, with the procedure and brush of `windowClass`.
HWND AddWindow(const WNDCLASSA& windowClass, SDL_Window* sdl);

// Where the displays lie (the monitors, or the pretended ones); none when
// there is no display to ask.
std::vector<SDL_Rect> DisplayBounds();
// Where the monitors of our screen lie, the primary one first, as the
// display system in use has them (DisplayServer.h), else as SDL has them.
std::vector<SDL_Rect> MonitorBounds();
// Where SDL has the displays.
std::vector<SDL_Rect> SdlDisplayBounds();
// From now on a change of the monitors (one added, removed, moved or
// resized) posts WM_DISPLAYCHANGE to every window; `window` shows which
// screen and display connection to watch.
void FollowDisplayChanges(SDL_Window* window);
// Tells every window once the monitors are no longer where they were.
void CheckDisplayLayout();
// Posts the message to every live window.
void PostToEveryWindow(UINT message, WPARAM wParam, LPARAM lParam);
// The rectangle that holds every display; empty when there is none.
SDL_Rect VirtualScreen();

// Destroys every handle whose adopted window is gone. True when there was one.
bool DestroyVanishedWindows();

// The handle itself when it names a window that is not destroyed, else null.
HWND LiveWindow(HWND hWnd);
// The live window behind an SDL window id, else null.
HWND WindowFromSdlId(Uint32 windowId);

// Makes SDL's cursor follow the display count (called once video is up,
// since starting SDL's video shows the cursor again).
void ApplyCursorVisibility();

// The message an SDL event stands for, addressed to its window; nothing for
// events that are not user input, a close request or a new size.
std::optional<MSG> MessageFromSdlEvent(const SDL_Event& event);

}  // namespace win32user
