// The saver window: its class, its creation and its message handling.
#include "Direct3d/Rendal.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/Deepdr.h"

HWND MainWindow = nullptr;
std::uint64_t HostWindow = 0;

namespace {

constexpr const char* kClassName = "Vantel";
constexpr const char* kTitle = "Vantel";
constexpr int kWindowExtraBytes = 4;  // reserved, never read or written

// Every display, not only the first.
RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

ATOM RegisterSaverClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = kWindowExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "AppIcon");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass);
}

int CreateSaverWindow(HINSTANCE instance, int showCommand) {
    if (HostWindow != 0) {
        MainWindow = Win32AdoptWindow(kClassName, HostWindow);
    } else {
        const RECT screen = VirtualScreen();
        MainWindow = CreateWindowExA(0, kClassName, kTitle, WS_POPUP, screen.left, screen.top,
                                     screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                                     instance, nullptr);
    }
    if (MainWindow == nullptr) return 0;
    ShowWindow(MainWindow, showCommand);
    // Painted black at once, before the first frame is rendered.
    UpdateWindow(MainWindow);
    if (HostWindow == 0) ShowCursor(FALSE);
    return 1;
}

LRESULT SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            if (HostWindow != 0) return DefWindowProcA(window, message, wParam, lParam);
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            RZXCleanup();
            PostQuitMessage(0);
            if (HostWindow == 0) ShowCursor(TRUE);
            return 0;
        case WM_SIZE:
            FollowWindowSize();
            return 0;
        case WM_DISPLAYCHANGE: {
            // A monitor came, went or moved: cover them all again. A host
            // sizes its own window.
            if (HostWindow != 0) return DefWindowProcA(window, message, wParam, lParam);
            const RECT screen = VirtualScreen();
            MoveWindow(window, screen.left, screen.top, screen.right - screen.left,
                       screen.bottom - screen.top, TRUE);
            return 0;
        }
        case WM_SYSCOMMAND:
            // Alt alone must not open a system menu over the saver.
            if (wParam == SC_KEYMENU) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
