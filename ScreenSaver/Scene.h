// The scene the saver builds once and moves every frame.
#pragma once

#include "Platform/DirectX/D3DRM.h"

// Scene root: a frame without a parent; everything else hangs below it.
extern IDirect3DRMFrame2* SceneFrame;
// The camera, child of the scene root; the viewport looks through it.
extern IDirect3DRMFrame2* CameraFrame;
// The frame that carries the box, child of the scene root.
extern IDirect3DRMFrame2* BoxFrame;
// Degrees the box turns per frame, 1 to 10.
extern double Speed;
// The box's colour: red, green, blue, alpha, each 0 to 1.
extern double BoxColor[4];
// The box's texture, kept for the life of the process.
extern IDirect3DRMTexture2* BoxTexture;

// Direction of travel per axis, +1 or -1; flipped just past a wall.
extern int DirX;
extern int DirY;
extern int DirZ;
// The box's turning axis, rebuilt from the directions each frame: one of the
// eight diagonals (+-1, +-1, +-1).
extern double RotAxis[3];

// Degrees to radians, as every rotation of the box is set: multiplied first,
// then divided, in double precision.
inline double DegreesToRadians(double degrees) {
    return degrees * 3.14159265359 / 180;
}

// The D3DCOLOR (0xAARRGGBB) of a colour given as red, green, blue, alpha in
// 0..1: each component times 255, cut toward zero.
D3DCOLOR BoxColorValue(const double color[4]);

// The speed setting as the saver uses it: above 10 gives 10, then below 1 gives 1.
double ClampSpeed(int setting);
