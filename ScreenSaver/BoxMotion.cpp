// The box's motion: bounce at the walls, drift and turn, one step per frame.
#include "Direct3d/Rendal.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/FrameRate.h"
#include "ScreenSaver/Scene.h"

int DirX = 1;
int DirY = 1;
int DirZ = 1;
double RotAxis[3] = {1.0, 1.0, 1.0};

namespace {

struct Wall {
    float lower;
    float upper;
    double step;
};

constexpr Wall kWallX = {-7.0f, 7.0f, 0.1};
constexpr Wall kWallY = {-4.0f, 4.0f, 0.08};
constexpr Wall kWallZ = {18.0f, 110.0f, 0.2};

// The site number of the scene step's error report.
constexpr int kMoveSite = 346;
constexpr const char* kSourceFile = "Deepdr";

// A coordinate exactly on a wall keeps its direction; just past it turns back.
void Bounce(float coordinate, const Wall& wall, int& direction) {
    if (!(wall.lower <= coordinate && coordinate <= wall.upper)) direction = -direction;
}

double AxisSign(int direction) {
    return direction > 0 ? 1.0 : -1.0;
}

}  // namespace

int MoveBox() {
    if (BoxFrame == nullptr) return 1;
    D3DVECTOR position{};
    BoxFrame->GetPosition(SceneFrame, &position);
    Bounce(position.x, kWallX, DirX);
    Bounce(position.y, kWallY, DirY);
    Bounce(position.z, kWallZ, DirZ);
    BoxFrame->SetVelocity(SceneFrame, static_cast<D3DVALUE>(DirX * kWallX.step),
                          static_cast<D3DVALUE>(DirY * kWallY.step),
                          static_cast<D3DVALUE>(DirZ * kWallZ.step), FALSE);
    RotAxis[0] = AxisSign(DirX);
    RotAxis[1] = AxisSign(DirY);
    RotAxis[2] = AxisSign(DirZ);
    const double theta = DegreesToRadians(Speed);
    BoxFrame->SetRotation(SceneFrame, static_cast<D3DVALUE>(RotAxis[0]), static_cast<D3DVALUE>(RotAxis[1]),
                          static_cast<D3DVALUE>(RotAxis[2]), static_cast<D3DVALUE>(theta));
    return 1;
}

int FrameTick(bool showFrameRate) {
    if (!RZXState.active) return 1;
    RZXRestore();
    const HRESULT result = SceneFrame->Move(1.0f);
    if (result != D3DRM_OK) {
        RZXRMError(result, kSourceFile, kMoveSite);
        RZXCleanup();
        SayDrawingStopped("moving the scene");
        return 0;
    }
    RZXRender(SceneFrame);
    if (showFrameRate) RZXCornerText(FrameRate.Count(GetTickCount()));
    RZXFlip();
    // A failed render or presentation has released the layer.
    if (!RZXState.active) SayDrawingStopped("drawing a frame");
    return 1;
}
