// What a creation description asks for, checked.
#pragma once

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/D3DExtensions.h"
#include "Platform/DirectX/DirectDraw/PixelFormat.h"

namespace dx {

enum class SurfaceKind { Primary, OffScreen, ZBuffer };

struct SurfaceLayout {
    SurfaceKind kind;
    Format format;
    int width;  // primary: 0 until the desktop's size is known
    int height;
    DWORD caps;  // as the surface reports them
};

// The largest side a surface may have.
constexpr int kMaxSurfaceSide = DxLargestSurfaceSide;

// Reads a CreateSurface description. Only members named by dwFlags count
// (no DDSD_CAPS: an off-screen plain surface). Colour surfaces take
// `displayFormat` unless DDSD_PIXELFORMAT names another supported one.
// DD_OK, DDERR_INVALIDPARAMS (size, missing members), DDERR_INVALIDCAPS,
// DDERR_INVALIDPIXELFORMAT, DDERR_TOOBIGSIZE or DDERR_OUTOFVIDEOMEMORY
// (there is none).
HRESULT ReadSurfaceDesc(const DDSURFACEDESC& desc, Format displayFormat, SurfaceLayout* layout);

}  // namespace dx
