// The global rendering state, its defaults, its release and the ready flag.
#include <cstring>

#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

RZXSTATE RZXState;
int enumDone;
RZXFAILURE RZXLastFailure;

int RZXInitialize() {
    OutputDebugStringA("RZX:Rendal Initialize\n");
    std::memset(&RZXState, 0, sizeof RZXState);
    RZXState.width = 320;
    RZXState.height = 240;
    RZXState.bpp = 16;
    enumDone = 0;
    RZXLastFailure = RZXFAILURE{};
    return 1;
}

int RZXCleanup() {
    OutputDebugStringA("RZX:Rendal Cleanup\n");
    // Reverse order of creation: what was made from an object goes before it.
    ReleaseField(RZXState.lpRMViewport);
    ReleaseField(RZXState.lpRMDevice);
    ReleaseField(RZXState.lpD3DDevice);
    ReleaseField(RZXState.lpDDPalette);
    ReleaseField(RZXState.lpDDSZBuffer);
    ReleaseField(RZXState.lpD3DRM);
    ReleaseField(RZXState.lpD3D);
    ReleaseField(RZXState.lpDDSBack);
    ReleaseField(RZXState.lpDDClipper);
    ReleaseField(RZXState.lpDDSPrimary);
    ReleaseField(RZXState.lpDD);
    RZXState.active = 0;
    return 1;
}

int RZXSetActive(int on) {
    if (on == 0 || on == 1) RZXState.active = on;
    return 1;
}

int RZXCreate() {
    return CreateD3DRM();
}
