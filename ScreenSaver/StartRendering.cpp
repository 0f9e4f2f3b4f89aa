// The rendering layer's start-up for the saver window, and again for its new size.
#include <cstdlib>

#include "Direct3d/Rendal.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/Scene.h"

namespace {

// A host starts a saver that ends on its own again at once, so a hosted one
// stays, its window black, until the host ends it.
int GiveUp(const char* trace) {
    OutputDebugStringA(trace);
    if (HostWindow != 0) return 0;
    std::exit(1);
}

}  // namespace

int StartRendering() {
    RZXInitialize();
    if (CreateDirectDrawWin(MainWindow) == 0) return GiveUp("RZX:DDCreateError ");
    if (RZXCreate() == 0) return GiveUp("RZX:CreateDirect3DRM Error!!!! ");
    return 1;
}

void FollowWindowSize() {
    if (!RZXState.active) return;
    RECT client{};
    if (!GetClientRect(MainWindow, &client)) return;
    if (client.right - client.left == RZXState.width && client.bottom - client.top == RZXState.height) return;
    // New surfaces, device and viewport of the new size; the camera and the
    // rest of the scene stay. Each step releases the whole layer when it fails.
    if (CreateDirectDrawWin(MainWindow) == 0 || RZXCreate() == 0 || RZXViewport(CameraFrame) == 0) return;
    RZXSetActive(1);
}
