// A back buffer presented whole onto a window's whole client area, in the
// layout of the window's own pixels, is drawn straight into the window's
// image: the memory the display reads, so the frame costs no copy at all.
// One surface at a time draws so in a window's image (WindowNotes.h).
#pragma once

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/DirectDraw/AskedImage.h"

namespace dx {

class Surface;

// Whether `source`'s `sourceArea`, just presented at `dest` (screen
// coordinates) in `asked`'s window, may from now on be drawn in the
// window's image as the presentation asked for it.
bool FitsWindowImage(const Surface& source, const RECT& sourceArea, const RECT& dest,
                     const AskedImage& asked);

}  // namespace dx
