// Icons, cursors, stock brushes and the cursor's display count.
#include <iterator>

#include "Platform/Win32/User/UserInternal.h"

struct HCURSOR__ {
    WORD id;
};

namespace {

HCURSOR__ arrowCursor{32512};

// WHITE_BRUSH (0) to BLACK_BRUSH (4), in the order of their stock numbers.
HBRUSH__ stockBrushes[] = {{255, 255, 255}, {192, 192, 192}, {128, 128, 128}, {64, 64, 64}, {0, 0, 0}};

int cursorCount = 0;

}  // namespace

namespace win32user {

void ApplyCursorVisibility() {
    SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace win32user

// The programs carry no icon resources.
HICON LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}

// Only the system's arrow exists; modules carry no cursor resources.
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    return hInstance == nullptr && lpCursorName == IDC_ARROW ? &arrowCursor : nullptr;
}

HGDIOBJ GetStockObject(int i) {
    if (i < 0 || i >= static_cast<int>(std::size(stockBrushes))) return nullptr;
    return &stockBrushes[i];
}

int ShowCursor(BOOL bShow) {
    cursorCount += bShow ? 1 : -1;
    // Starting SDL's video resets its cursor; EnsureVideo applies the count then.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) win32user::ApplyCursorVisibility();
    return cursorCount;
}
