#include "Platform/DirectX/DirectDraw/SurfaceLayout.h"

namespace dx {
namespace {

HRESULT ReadSize(const DDSURFACEDESC& desc, SurfaceLayout* layout) {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > kMaxSurfaceSide || desc.dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGSIZE;
    layout->width = static_cast<int>(desc.dwWidth);
    layout->height = static_cast<int>(desc.dwHeight);
    return DD_OK;
}

DWORD ZBufferDepth(const DDSURFACEDESC& desc) {
    if (desc.dwFlags & DDSD_ZBUFFERBITDEPTH) return desc.dwZBufferBitDepth;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) && (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER))
        return desc.ddpfPixelFormat.dwRGBBitCount;
    return 0;
}

}  // namespace

HRESULT ReadSurfaceDesc(const DDSURFACEDESC& desc, Format displayFormat, SurfaceLayout* layout) {
    if (desc.dwSize != DDSURFACEDESC_SIZE) return DDERR_INVALIDPARAMS;
    const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
    *layout = SurfaceLayout{SurfaceKind::OffScreen, displayFormat, 0, 0, caps};

    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (caps & DDSCAPS_ZBUFFER) return DDERR_INVALIDCAPS;
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        layout->kind = SurfaceKind::Primary;
        return DD_OK;
    }
    if (caps & DDSCAPS_VIDEOMEMORY) return DDERR_OUTOFVIDEOMEMORY;
    layout->caps |= DDSCAPS_SYSTEMMEMORY;
    if (const HRESULT result = ReadSize(desc, layout)) return result;

    if (caps & DDSCAPS_ZBUFFER) {
        if (caps & (DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
        if (ZBufferDepth(desc) != 16) return DDERR_INVALIDPIXELFORMAT;
        layout->kind = SurfaceKind::ZBuffer;
        layout->format = Format::Z16;
        return DD_OK;
    }
    if ((desc.dwFlags & DDSD_PIXELFORMAT) && !ColorFormatOf(desc.ddpfPixelFormat, &layout->format))
        return DDERR_INVALIDPIXELFORMAT;
    return DD_OK;
}

}  // namespace dx
