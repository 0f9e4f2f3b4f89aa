// A window class whose procedure records what it is sent, for the tests of windows and messages.
#pragma once

#include <SDL.h>

#include <vector>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/TestWindow.h"

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    // Whether the SDL window still existed while the message was handled.
    bool sdlWindowAlive;
};

inline std::vector<Received>& ReceivedMessages() {
    static std::vector<Received> received;
    return received;
}

// Records every message and leaves it to DefWindowProcA.
inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ReceivedMessages().push_back({window, message, wParam, Win32SdlWindow(window) != nullptr});
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers, once per process, a class named `name` with the stock brush `brush`.
inline void RegisterRecordingClass(LPCSTR name, int brush) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

inline HWND MakeRecordingWindow(int x = 30, int y = 40, int width = 200, int height = 100) {
    RegisterRecordingClass("Recorder", BLACK_BRUSH);
    return CreateWindowExA(0, "Recorder", "Recorder", WS_POPUP, x, y, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}
