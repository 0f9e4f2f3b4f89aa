// Each window's pixels, made on first use, and the Linux-side image functions
// over them.
#include "Platform/Win32/User/WindowPixels.h"

#include <utility>
#include <vector>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

using Registry = std::vector<std::pair<HWND, std::unique_ptr<win32user::WindowPixels>>>;

// Never destroyed: at exit the display may be gone before it.
Registry& Pixels() {
    static auto* registry = new Registry;
    return *registry;
}

std::unique_ptr<win32user::WindowPixels> NativePixels(HWND w) {
    win32user::DisplayServer* server = win32user::DisplayInUse();
    return server != nullptr ? server->MakePixels(w->sdl, w->adopted != 0) : nullptr;
}

}  // namespace

namespace win32user {

WindowPixels* PixelsOf(HWND hWnd) {
    HWND w = LiveWindow(hWnd);
    if (w == nullptr) return nullptr;
    for (auto& [window, pixels] : Pixels()) {
        if (window == w) return pixels.get();
    }
    std::unique_ptr<WindowPixels> pixels = NativePixels(w);
    if (!pixels) pixels = MakeSdlWindowPixels(w->sdl);
    Pixels().emplace_back(w, std::move(pixels));
    return Pixels().back().second.get();
}

void ForgetPixels(HWND hWnd) {
    std::erase_if(Pixels(), [hWnd](const auto& entry) { return entry.first == hWnd; });
}

void ReplacePixels(HWND hWnd, std::unique_ptr<WindowPixels> pixels) {
    HWND w = LiveWindow(hWnd);
    if (w == nullptr) return;
    ForgetPixels(w);
    Pixels().emplace_back(w, std::move(pixels));
}

bool AreaInImage(const RECT* area, int width, int height, RECT* clipped) {
    const RECT image{0, 0, width, height};
    return IntersectRect(clipped, area != nullptr ? area : &image, &image) != FALSE;
}

std::uint64_t NewImageMemoryId() {
    static std::uint64_t last = 0;
    return ++last;
}

void UseScreenVisual() {
    if (DisplayServer* server = DisplayInUse()) server->UseScreenVisual();
}

int ScreenBitsPerPixel() {
    if (!EnsureVideo()) return 0;
    DisplayServer* server = DisplayInUse();
    return server != nullptr ? server->ScreenBitsPerPixel() : SdlScreenBitsPerPixel();
}

int SdlScreenBitsPerPixel() {
    SDL_DisplayMode mode;
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? SdlBitsPerPixel(mode.format) : 0;
}

}  // namespace win32user

Win32ImageStatus Win32GetWindowImage(HWND hWnd, Win32WindowImage* image) {
    win32user::WindowPixels* pixels = win32user::PixelsOf(hWnd);
    if (pixels == nullptr || image == nullptr) return Win32ImageStatus::NoWindow;
    return pixels->Image(image);
}

BOOL Win32ShowWindowImage(HWND hWnd, const RECT* areas, int count) {
    win32user::WindowPixels* pixels = win32user::PixelsOf(hWnd);
    if (pixels == nullptr || count < 0 || (areas == nullptr && count > 0)) return FALSE;
    return pixels->Show(areas, count, pixels->TakeLost()) ? TRUE : FALSE;
}

bool Win32WindowPacesFrames(HWND hWnd) {
    win32user::WindowPixels* pixels = win32user::PixelsOf(hWnd);
    return pixels != nullptr && pixels->PacesFrames();
}

BOOL Win32WindowColours(HWND hWnd, const DWORD* xrgb, int count, DWORD* pixels) {
    win32user::WindowPixels* windowPixels = win32user::PixelsOf(hWnd);
    if (windowPixels == nullptr || xrgb == nullptr || pixels == nullptr || count < 0) return FALSE;
    return windowPixels->Colours(xrgb, count, pixels) ? TRUE : FALSE;
}
