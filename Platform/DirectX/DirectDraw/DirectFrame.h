// A back buffer presented whole onto a window's whole client area, in the
// layout of the window's own pixels, is drawn straight into the window's
// frame: the memory the display reads, so the frame costs no copy at all.
// One surface at a time draws so in a window's frame.
#pragma once

#include "Platform/DirectX/D3D.h"
#include "Platform/Win32/Win32Extensions.h"

namespace dx {

class Surface;

// Whether `source`'s `sourceArea`, just presented at `dest` (screen
// coordinates) in `window`, may from now on be drawn in the window's frame,
// which it fills in then.
bool FitsWindowFrame(const Surface& source, const RECT& sourceArea, const RECT& dest, HWND window,
                     Win32WindowFrame* frame);

// The surface that draws in `window`'s frame; null when none does.
Surface* FrameDrawer(HWND window);
void SetFrameDrawer(HWND window, Surface* drawer);

}  // namespace dx
