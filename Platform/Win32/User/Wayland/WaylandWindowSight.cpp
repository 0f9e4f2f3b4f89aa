// Whether anybody can see a window on Wayland: whether the compositor
// repaints our surface on any output. It sends no frame callbacks to a
// hidden surface or an output switched off, and everything that can change
// that comes on its socket (the callback once shown again, outputs coming,
// input), so sleeping on the socket needs no timeout.
#include "Platform/Win32/User/Wayland/Session.h"
#include "Platform/Win32/User/WindowSight.h"

namespace win32user {
namespace {

class WaylandWindowSight final : public WindowSight {
public:
    bool Seen() override {
        const Uint64 now = SDL_GetTicks64();
        for (const auto& output : WaylandGlobals()->Outputs()) {
            if (output->Repaints(now)) return true;
        }
        return false;
    }

    void Await() override {
        const QuitSignalsHeld held;
        MSG waiting;
        while (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE) == FALSE && !Seen())
            WaitForWayland(-1, held);
    }
};

}  // namespace

std::unique_ptr<WindowSight> MakeWaylandWindowSight() {
    if (!OnWaylandSession()) return nullptr;
    return std::make_unique<WaylandWindowSight>();
}

}  // namespace win32user
