// What the pieces of the window, message and display stand-in share.
#pragma once

#include <SDL.h>

#include <optional>

#include "Platform/Win32/Win32.h"

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
};

namespace win32user {

// Starts SDL's video once. False, with one line on standard error, when
// there is no display to open windows on or SDL cannot reach it.
bool EnsureVideo();

// From now on the X server going away ends the process with exit code 1 and
// one line on standard error. Costs nothing until then.
void EndOnLostDisplay();

// The handle itself when it names a window that is not destroyed, else null.
HWND LiveWindow(HWND hWnd);
// The live window behind an SDL window id, else null.
HWND WindowFromSdlId(Uint32 windowId);

// Makes SDL's cursor follow the display count (called once video is up,
// since starting SDL's video shows the cursor again).
void ApplyCursorVisibility();

// The message an SDL event stands for, addressed to its window; nothing for
// events that are not user input or a close request.
std::optional<MSG> MessageFromSdlEvent(const SDL_Event& event);

}  // namespace win32user
