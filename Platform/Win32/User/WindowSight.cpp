// Each window's sight, made on first use, and the Linux-side functions over
// it.
#include "Platform/Win32/User/WindowSight.h"

#include <utility>
#include <vector>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/Win32TestHooks.h"

namespace {

// A window without a sight of its own (neither on X11 nor Wayland) holds
// null: always seen.
using Registry = std::vector<std::pair<HWND, std::unique_ptr<win32user::WindowSight>>>;

// Never destroyed: at exit the display may be gone before it.
Registry& Sights() {
    static auto* registry = new Registry;
    return *registry;
}

std::optional<win32user::PowerLevel> pretendedPower;

win32user::WindowSight* SightOf(HWND hWnd) {
    HWND w = win32user::LiveWindow(hWnd);
    if (w == nullptr) return nullptr;
    for (auto& [window, sight] : Sights()) {
        if (window == w) return sight.get();
    }
    win32user::DisplayServer* server = win32user::DisplayInUse();
    Sights().emplace_back(w, server != nullptr ? server->MakeSight(w->sdl) : nullptr);
    return Sights().back().second.get();
}

}  // namespace

namespace win32user {

std::optional<PowerLevel> PretendedPower() {
    return pretendedPower;
}

void ForgetSight(HWND hWnd) {
    std::erase_if(Sights(), [hWnd](const auto& entry) { return entry.first == hWnd; });
}

}  // namespace win32user

bool Win32WindowSeen(HWND hWnd) {
    win32user::WindowSight* sight = SightOf(hWnd);
    return sight == nullptr || sight->Seen();
}

void Win32AwaitSight(HWND hWnd) {
    win32user::WindowSight* sight = SightOf(hWnd);
    if (sight != nullptr) sight->Await();
}

void Win32PretendDisplayPower(int dpmsLevel) {
    if (dpmsLevel >= 0 && dpmsLevel <= 3)
        pretendedPower = static_cast<win32user::PowerLevel>(dpmsLevel);
    else
        pretendedPower.reset();
}
