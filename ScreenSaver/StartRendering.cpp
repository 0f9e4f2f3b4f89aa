// The rendering layer's start-up for the saver window.
#include <cstdlib>

#include "Direct3d/Rendal.h"
#include "ScreenSaver/Deepdr.h"

int StartRendering() {
    RZXInitialize();
    if (CreateDirectDrawWin(MainWindow) == 0) {
        OutputDebugStringA("RZX:DDCreateError ");
        std::exit(1);
    }
    if (RZXCreate() == 0) {
        OutputDebugStringA("RZX:CreateDirect3DRM Error!!!! ");
        std::exit(1);
    }
    return 1;
}
