// Linux-side extensions of the software DirectDraw for tests and benchmarks.
//
// The primary surface stands for the screen. When its clipper's window is on
// a real display, blits to it reach that window; otherwise (SDL's dummy
// driver, or no window bound) they land in the primary's "screen image": a
// desktop-sized XRGB8888 picture (0x00RRGGBB, black at first) of what the
// screen would show, made when first needed and read back through here.
#pragma once

#include "Platform/DirectX/DDraw.h"

// Fills `image` (dwSize must be DDSURFACEDESC_SIZE) with the screen image of
// `primary`: dwWidth, dwHeight, lPitch, lpSurface and ddpfPixelFormat
// (32-bit RGB, masks 0xFF0000/0xFF00/0xFF). The memory stays valid while the
// primary lives. False when `primary` is not a primary surface, `image` is
// not a valid description or the image's memory cannot be had.
bool DxReadScreenImage(IDirectDrawSurface* primary, DDSURFACEDESC* image);

// Primary surfaces created from now on are `width` × `height` pixels instead
// of the desktop's size (0, 0: the desktop's size again). DxFault::Reset
// restores the desktop's size too.
void DxPretendDesktopSize(int width, int height);
