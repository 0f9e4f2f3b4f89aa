#include "Platform/DirectX/DirectDraw/Surface.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "Platform/DirectX/DirectDraw/DirectDrawObject.h"
#include "Platform/DirectX/DirectDraw/Presenter.h"
#include "Platform/DirectX/DirectDraw/SurfaceLayout.h"
#include "Platform/DirectX/DirectDraw/WindowImageDrawing.h"
#include "Platform/DirectX/DirectDraw/WindowNotes.h"
#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/Rects.h"

namespace dx {
namespace {

int PitchFor(Format format, int width) {
    const int bytes = width * BytesPerPixel(format);
    return (bytes + 15) & ~15;
}

// A lost surface's memory is gone as far as its users know.
void NoteMarkedLost(IDirectDrawSurface* surface) {
    if (auto* lost = dynamic_cast<Surface*>(surface)) lost->NoteForeignWrite(nullptr);
}

}  // namespace

HRESULT Surface::Create(DirectDrawObject* owner, const SurfaceLayout& layout, Surface** surface) {
    try {
        *surface = new Surface(owner, layout);
        return DD_OK;
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
}

Surface::Surface(DirectDrawObject* owner, const SurfaceLayout& layout)
    : format_(layout.format),
      caps_(layout.caps),
      width_(layout.width),
      height_(layout.height),
      pitch_(PitchFor(layout.format, layout.width)),
      ownPitch_(pitch_),
      damage_{{RECT{0, 0, layout.width, layout.height}}} {
    DxFault::OnSurfaceMarkedLost(NoteMarkedLost);
    if (layout.kind == SurfaceKind::Primary) {
        presenter_ = std::make_unique<Presenter>(width_, height_);
    } else {
        memory_ = raster::AllocateTargetMemory(static_cast<std::size_t>(pitch_) * height_);
        bits_ = memory_.get();
    }
    owner_.Reset(owner);
}

Surface::~Surface() {
    ForgetNotesOf(this);
    DxFault::ForgetLost(static_cast<IDirectDrawSurface*>(this));
    if (IsPrimary()) owner_->ForgetPrimary(this);
}

HRESULT Surface::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject, IID_IDirectDrawSurface);
}

bool Surface::Lost() const {
    return DxFault::IsMarkedLost(static_cast<const IDirectDrawSurface*>(this));
}

void Surface::NoteForeignWrite(const RECT* area) {
    ++foreignWrites_;
    lastForeign_ = area != nullptr ? *area : RECT{0, 0, width_, height_};
    damage_.Add(lastForeign_);
}

void Surface::NoteDrawn(const RECT& area) {
    ++draws_;
    RECT clipped = area;
    if (Intersect(&clipped, RECT{0, 0, width_, height_})) damage_.Add(clipped);
}

void Surface::DrawInImage(HWND window, const Win32WindowImage& image) {
    if (Surface* other = ImageDrawer(window); other != nullptr && other != this)
        other->LeaveImage(AskedImage{window, Win32ImageStatus::Ready, image});
    SetImageDrawer(window, this);
    imageWindow_ = window;
    imageMemoryId_ = image.memoryId;
    bits_ = image.bits;
    pitch_ = image.pitch;
}

void Surface::LeaveImage(const AskedImage& asked) {
    // Only an image that is still there is read.
    ReadyForWrite(asked);
    if (imageWindow_ == nullptr) return;
    const auto rowBytes = static_cast<std::size_t>(width_ * BytesPerPixel(format_));
    for (int y = 0; y < height_; ++y)
        std::memcpy(memory_.get() + static_cast<std::ptrdiff_t>(y) * ownPitch_,
                    bits_ + static_cast<std::ptrdiff_t>(y) * pitch_, rowBytes);
    if (ImageDrawer(imageWindow_) == this) SetImageDrawer(imageWindow_, nullptr);
    imageWindow_ = nullptr;
    bits_ = memory_.get();
    pitch_ = ownPitch_;
}

void Surface::ReadyForWrite() {
    if (imageWindow_ == nullptr) return;
    AskedImage asked{imageWindow_};
    if (ImageDrawer(imageWindow_) == this) asked.status = Win32GetWindowImage(imageWindow_, &asked.image);
    ReadyForWrite(asked);
}

void Surface::ReadyForWrite(const AskedImage& asked) {
    if (imageWindow_ == nullptr) return;
    if (asked.window != imageWindow_) {
        ReadyForWrite();
        return;
    }
    if (ImageDrawer(imageWindow_) == this && asked.Ready() && asked.image.memoryId == imageMemoryId_) {
        bits_ = asked.image.bits;
        return;
    }
    // The image was made anew or went with its window: what it held is gone.
    if (ImageDrawer(imageWindow_) == this) SetImageDrawer(imageWindow_, nullptr);
    imageWindow_ = nullptr;
    bits_ = memory_.get();
    pitch_ = ownPitch_;
    NoteForeignWrite(nullptr);
}

bool Surface::Area(const RECT* rect, RECT* area) const {
    if (rect == nullptr) {
        *area = RECT{0, 0, width_, height_};
        return true;
    }
    *area = *rect;
    return rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
           rect->right <= width_ && rect->bottom <= height_;
}

HRESULT Surface::AddAttachedSurface(IDirectDrawSurface* lpDDSAttachedSurface) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_AddAttachedSurface)) return fault;
    if (lpDDSAttachedSurface == nullptr) return DDERR_INVALIDPARAMS;
    auto* zbuffer = dynamic_cast<Surface*>(lpDDSAttachedSurface);
    if (zbuffer == nullptr) return DDERR_INVALIDOBJECT;
    if (zbuffer_) return DDERR_SURFACEALREADYATTACHED;
    // Only a z-buffer covering the whole surface: the devices draw with both.
    if (zbuffer == this || IsPrimary() || format_ == Format::Z16 || zbuffer->format_ != Format::Z16 ||
        zbuffer->width_ < width_ || zbuffer->height_ < height_)
        return DDERR_CANNOTATTACHSURFACE;
    zbuffer_.Reset(zbuffer);
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(DDSCAPS* lpDDSCaps, IDirectDrawSurface** lplpDDAttachedSurface) {
    if (lpDDSCaps == nullptr || lplpDDAttachedSurface == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDAttachedSurface = nullptr;
    if (!zbuffer_ || lpDDSCaps->dwCaps == 0 || (zbuffer_->caps_ & lpDDSCaps->dwCaps) != lpDDSCaps->dwCaps)
        return DDERR_NOTFOUND;
    zbuffer_->AddRef();
    *lplpDDAttachedSurface = zbuffer_.get();
    return DD_OK;
}

HRESULT Surface::Blt(RECT* lpDestRect, IDirectDrawSurface* lpDDSrcSurface, RECT* lpSrcRect, DWORD dwFlags,
                     DDBLTFX*) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_Blt)) return fault;
    // Plain copies only: no fills, colour keys, effects or asynchronous blits.
    if (dwFlags & ~DDBLT_WAIT) return DDERR_UNSUPPORTED;
    if (lpDDSrcSurface == nullptr) return DDERR_INVALIDPARAMS;
    auto* source = dynamic_cast<Surface*>(lpDDSrcSurface);
    if (source == nullptr) return DDERR_INVALIDOBJECT;
    if (Lost() || source->Lost()) return DDERR_SURFACELOST;
    if (locked_ || source->locked_) return DDERR_SURFACEBUSY;
    if (source->IsPrimary()) return DDERR_UNSUPPORTED;
    RECT sourceArea;
    if (!source->Area(lpSrcRect, &sourceArea)) return DDERR_INVALIDRECT;
    if (IsPrimary()) return Present(lpDestRect, *source, sourceArea, dwFlags);

    RECT destArea;
    if (!Area(lpDestRect, &destArea)) return DDERR_INVALIDRECT;
    if (source->format_ != format_) return DDERR_INVALIDPIXELFORMAT;
    if (destArea.right - destArea.left != sourceArea.right - sourceArea.left ||
        destArea.bottom - destArea.top != sourceArea.bottom - sourceArea.top)
        return DDERR_UNSUPPORTED;  // no stretching
    ReadyForWrite();
    CopyFrom(*source, sourceArea, destArea);
    NoteForeignWrite(&destArea);
    return DD_OK;
}

HRESULT Surface::Present(const RECT* destRect, Surface& source, const RECT& sourceArea, DWORD flags) {
    if (source.format_ == Format::Z16) return DDERR_INVALIDPIXELFORMAT;
    const LONG width = sourceArea.right - sourceArea.left, height = sourceArea.bottom - sourceArea.top;
    // The destination is in screen coordinates and may reach past the screen.
    const RECT dest = destRect != nullptr ? *destRect : RECT{0, 0, width_, height_};
    if (dest.left >= dest.right || dest.top >= dest.bottom) return DDERR_INVALIDRECT;
    if (dest.right - dest.left != width || dest.bottom - dest.top != height) return DDERR_UNSUPPORTED;
    std::uint32_t palette[256];
    if (source.format_ == Format::Indexed8) PresentationPalette(source, palette);
    HWND window = clipper_ ? clipper_->Window() : nullptr;
    // Asked once: every step below reads or writes the image as it is now.
    const AskedImage asked = AskImage(window);
    const bool fits = FitsWindowImage(source, sourceArea, dest, asked);
    // Presenting elsewhere, or another surface to the image, would write over
    // pixels drawn in the image: they go back to their own memory first.
    if (source.imageWindow_ != nullptr && (source.imageWindow_ != window || !fits)) source.LeaveImage(asked);
    if (Surface* drawer = window != nullptr ? ImageDrawer(window) : nullptr;
        drawer != nullptr && drawer != &source)
        drawer->LeaveImage(asked);
    source.ReadyForWrite(asked);
    const SourcePixels pixels{source.Bits(), source.pitch_, source.format_, palette};
    const HRESULT result =
        presenter_->Present(pixels, sourceArea, dest.left, dest.top, asked, (flags & DDBLT_WAIT) != 0,
                            SourceChange{&source, source.damage_});
    if (result != DD_OK) return result;
    source.damage_ = DamageRects{};
    // The image holds the whole surface now. Where the show moved it to the
    // other buffer, the next write follows it (ReadyForWrite).
    if (fits && source.imageWindow_ == nullptr) source.DrawInImage(window, asked.image);
    return DD_OK;
}

void Surface::PresentationPalette(const Surface& source, std::uint32_t xrgb[256]) const {
    if (palette_) {
        palette_->ToXrgb(xrgb);
    } else if (source.palette_) {
        source.palette_->ToXrgb(xrgb);
    } else {
        std::memcpy(xrgb, presenter_->SystemPalette(), 256 * sizeof(std::uint32_t));
    }
}

void Surface::CopyFrom(const Surface& source, const RECT& sourceArea, const RECT& destArea) {
    const int bpp = BytesPerPixel(format_);
    const auto rowBytes = static_cast<std::size_t>((sourceArea.right - sourceArea.left) * bpp);
    const int rows = sourceArea.bottom - sourceArea.top;
    auto row = [&](const Surface& surface, const RECT& area, int y) {
        return surface.Bits() + static_cast<std::ptrdiff_t>(area.top + y) * surface.pitch_ + area.left * bpp;
    };
    // Within one surface, copy rows in the order that never overwrites a row
    // before it has been read.
    if (&source == this && destArea.top > sourceArea.top) {
        for (int y = rows - 1; y >= 0; --y)
            std::memmove(row(*this, destArea, y), row(source, sourceArea, y), rowBytes);
    } else {
        for (int y = 0; y < rows; ++y)
            std::memmove(row(*this, destArea, y), row(source, sourceArea, y), rowBytes);
    }
}

HRESULT Surface::GetSurfaceDesc(DDSURFACEDESC* lpDDSurfaceDesc) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_GetSurfaceDesc)) return fault;
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    Describe(lpDDSurfaceDesc);
    return DD_OK;
}

void Surface::Describe(DDSURFACEDESC* desc) const {
    *desc = DDSURFACEDESC{};
    desc->dwSize = DDSURFACEDESC_SIZE;
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width_);
    desc->dwHeight = static_cast<DWORD>(height_);
    desc->lPitch = pitch_;
    desc->ddpfPixelFormat = dx::Describe(format_);
    desc->ddsCaps.dwCaps = caps_;
    if (format_ == Format::Z16) {
        desc->dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc->dwZBufferBitDepth = 16;
    }
}

HRESULT Surface::GetPalette(IDirectDrawPalette** lplpDDPalette) {
    if (lplpDDPalette == nullptr) return DDERR_INVALIDPARAMS;
    *lplpDDPalette = nullptr;
    if (!palette_) return DDERR_NOPALETTEATTACHED;
    palette_->AddRef();
    *lplpDDPalette = palette_.get();
    return DD_OK;
}

HRESULT Surface::IsLost() {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_IsLost)) return fault;
    return Lost() ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Restore() {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_Restore)) return fault;
    DxFault::ForgetLost(static_cast<IDirectDrawSurface*>(this));
    NoteForeignWrite(nullptr);
    return DD_OK;
}

HRESULT Surface::Lock(RECT* lpDestRect, DDSURFACEDESC* lpDDSurfaceDesc, DWORD, HANDLE) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_Lock)) return fault;
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    // The screen is reached by blitting only (DxReadScreenImage reads it back).
    if (IsPrimary()) return DDERR_CANTLOCKSURFACE;
    if (Lost()) return DDERR_SURFACELOST;
    if (locked_) return DDERR_SURFACEBUSY;
    RECT area;
    if (!Area(lpDestRect, &area)) return DDERR_INVALIDRECT;
    ReadyForWrite();
    Describe(lpDDSurfaceDesc);
    lpDDSurfaceDesc->dwFlags |= DDSD_LPSURFACE;
    lpDDSurfaceDesc->lpSurface =
        Bits() + static_cast<std::ptrdiff_t>(area.top) * pitch_ + area.left * BytesPerPixel(format_);
    locked_ = true;
    NoteForeignWrite(&area);
    return DD_OK;
}

HRESULT Surface::Unlock(void*) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT Surface::SetClipper(IDirectDrawClipper* lpDDClipper) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_SetClipper)) return fault;
    auto* clipper = dynamic_cast<Clipper*>(lpDDClipper);
    if (lpDDClipper != nullptr && clipper == nullptr) return DDERR_INVALIDOBJECT;
    if (IsPrimary() && clipper != nullptr) {
        if (const HRESULT result = presenter_->Prepare(clipper->Window())) return result;
    }
    clipper_.Reset(clipper);
    return DD_OK;
}

HRESULT Surface::SetPalette(IDirectDrawPalette* lpDDPalette) {
    if (const HRESULT fault = DxFault::Check(DxCall::Surface_SetPalette)) return fault;
    auto* palette = dynamic_cast<Palette*>(lpDDPalette);
    if (lpDDPalette != nullptr && palette == nullptr) return DDERR_INVALIDOBJECT;
    if (palette != nullptr && format_ != Format::Indexed8) return DDERR_NOTPALETTIZED;
    palette_.Reset(palette);
    return DD_OK;
}

}  // namespace dx
