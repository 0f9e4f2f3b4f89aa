// The surface descriptions the benchmarks create their surfaces from.
#pragma once

#include "Platform/DirectX/DDraw.h"

namespace bench {

// A description with the given members; z-buffers get 16 bits.
inline DDSURFACEDESC SurfaceDesc(DWORD flags, DWORD caps, int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.dwZBufferBitDepth = 16;
    return desc;
}

}  // namespace bench
