// The X screen's default visual: for the windows SDL makes, and for what
// GetDeviceCaps says of the screen.
#include <SDL.h>

#include <optional>
#include <string>

#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/User/X11/XVisual.h"

namespace win32user {

void UseXScreenVisual() {
    const std::optional<VisualFacts> screen = ScreenVisual();
    if (!screen) return;
    const std::string id = std::to_string(screen->id);
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, id.c_str());
}

int XScreenBitsPerPixel() {
    const std::optional<VisualFacts> screen = ScreenVisual();
    return screen ? ReportedBitsPerPixel(*screen) : 0;
}

}  // namespace win32user
