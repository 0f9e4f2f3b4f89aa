// Where the monitors lie, as the display system in use has them, and word
// to every window once that changes.
#include <algorithm>
#include <utility>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"

namespace {

std::vector<SDL_Rect> lastLayout;

bool SameLayout(const std::vector<SDL_Rect>& a, const std::vector<SDL_Rect>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SDL_Rect& x, const SDL_Rect& y) { return SDL_RectEquals(&x, &y); });
}

}  // namespace

namespace win32user {

std::vector<SDL_Rect> SdlDisplayBounds() {
    std::vector<SDL_Rect> displays;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0) displays.push_back(bounds);
    }
    return displays;
}

std::vector<SDL_Rect> MonitorBounds() {
    DisplayServer* server = DisplayInUse();
    return server != nullptr ? server->Monitors() : SdlDisplayBounds();
}

void FollowDisplayChanges(SDL_Window* window) {
    lastLayout = MonitorBounds();
    // Elsewhere SDL's own display events are all there is.
    if (DisplayServer* server = DisplayInUse()) server->FollowMonitors(window);
}

void CheckDisplayLayout() {
    std::vector<SDL_Rect> layout = MonitorBounds();
    if (layout.empty() || SameLayout(layout, lastLayout)) return;
    lastLayout = std::move(layout);
    const SDL_Rect primary = lastLayout.front();
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    PostToEveryWindow(WM_DISPLAYCHANGE, static_cast<WPARAM>(depth),
                      static_cast<LPARAM>((primary.h & 0xFFFF) << 16 | (primary.w & 0xFFFF)));
}

}  // namespace win32user
