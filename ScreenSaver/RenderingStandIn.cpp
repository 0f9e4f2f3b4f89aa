// Stand-in for the rendering start-up, the scene and the per-frame step while
// the rendering layer is not linked in: the saver runs its black window and
// its loop, and nothing is drawn.
#include "ScreenSaver/Deepdr.h"

int StartRendering() {
    return 1;
}

int BuildScene() {
    return 1;
}

int MoveBox() {
    return 1;
}

int FrameTick() {
    return 1;
}
