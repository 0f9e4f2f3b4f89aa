#include "Platform/DirectX/DirectDraw/SurfaceSpec.h"

namespace dx {
namespace {

HRESULT ReadSize(const DDSURFACEDESC& desc, SurfaceSpec* spec) {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > kMaxSurfaceSide || desc.dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGSIZE;
    spec->width = static_cast<int>(desc.dwWidth);
    spec->height = static_cast<int>(desc.dwHeight);
    return DD_OK;
}

DWORD ZBufferDepth(const DDSURFACEDESC& desc) {
    if (desc.dwFlags & DDSD_ZBUFFERBITDEPTH) return desc.dwZBufferBitDepth;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) && (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER))
        return desc.ddpfPixelFormat.dwRGBBitCount;
    return 0;
}

}  // namespace

HRESULT ReadSurfaceDesc(const DDSURFACEDESC& desc, Format displayFormat, SurfaceSpec* spec) {
    if (desc.dwSize != DDSURFACEDESC_SIZE) return DDERR_INVALIDPARAMS;
    const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
    *spec = SurfaceSpec{SurfaceKind::OffScreen, displayFormat, 0, 0, caps};

    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (caps & DDSCAPS_ZBUFFER) return DDERR_INVALIDCAPS;
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        spec->kind = SurfaceKind::Primary;
        return DD_OK;
    }
    if (caps & DDSCAPS_VIDEOMEMORY) return DDERR_OUTOFVIDEOMEMORY;
    spec->caps |= DDSCAPS_SYSTEMMEMORY;
    if (const HRESULT result = ReadSize(desc, spec)) return result;

    if (caps & DDSCAPS_ZBUFFER) {
        if (caps & (DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
        if (ZBufferDepth(desc) != 16) return DDERR_INVALIDPIXELFORMAT;
        spec->kind = SurfaceKind::ZBuffer;
        spec->format = Format::Z16;
        return DD_OK;
    }
    if ((desc.dwFlags & DDSD_PIXELFORMAT) && !ColorFormatOf(desc.ddpfPixelFormat, &spec->format))
        return DDERR_INVALIDPIXELFORMAT;
    return DD_OK;
}

}  // namespace dx
