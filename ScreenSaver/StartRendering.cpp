// The rendering layer's start-up for the saver window, and again for its new size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Direct3d/Rendal.h"
#include "Platform/DirectX/D3DExtensions.h"
#include "ScreenSaver/DebugLevel.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/Scene.h"

namespace {

// A host starts a saver that ends on its own again at once, so a hosted one
// stays, its window black, until the host ends it.
int GiveUp(const char* trace, const char* stage) {
    OutputDebugStringA(trace);
    SayDrawingStopped(stage);
    if (HostWindow != 0) return 0;
    std::exit(1);
}

// VANTEL_RASTER names the rasterizer to draw with instead of the one the
// start-up trial picks, for measurements and bug reports; with
// VANTEL_DEBUG=2 the saver says which one it draws with and why, before the
// trace. VANTEL_DEBUG=1 keeps the trace as designed, nothing before it.
void ChooseRasterizer() {
    const char* requested = std::getenv("VANTEL_RASTER");
    const std::string problem = DxForceRasterizer(requested);
    if (!problem.empty()) std::fprintf(stderr, "vantel: VANTEL_RASTER=%s: %s\n", requested, problem.c_str());
    if (SaverDebugLevel() == 2) {
        std::fprintf(stderr, "vantel: drawing with %s\n", DxDescribeRasterizer().c_str());
    }
}

}  // namespace

int StartRendering() {
    TellFailuresAtExit();
    ChooseRasterizer();
    RZXInitialize();
    if (CreateDirectDrawWin(MainWindow) == 0) return GiveUp("RZX:DDCreateError ", "setting up the display");
    if (RZXCreate() == 0) return GiveUp("RZX:CreateDirect3DRM Error!!!! ", "setting up the 3D device");
    return 1;
}

void FollowWindowSize() {
    if (!RZXState.active) return;
    RECT client{};
    if (!GetClientRect(MainWindow, &client)) return;
    if (client.right - client.left == RZXState.width && client.bottom - client.top == RZXState.height) return;
    // New surfaces, device and viewport of the new size; the camera and the
    // rest of the scene stay. Each step releases the whole layer when it fails.
    if (CreateDirectDrawWin(MainWindow) == 0 || RZXCreate() == 0 || RZXViewport(CameraFrame) == 0) {
        SayDrawingStopped("following the window's new size");
        return;
    }
    RZXSetActive(1);
}
