#include "tests/Support/TestWindow.h"

namespace {

constexpr char kClassName[] = "VantelTestWindow";

}  // namespace

HWND OpenTestWindow(int x, int y, int width, int height) {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, kClassName, "", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}

std::vector<MSG> DrainMessages() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) taken.push_back(msg);
    return taken;
}
