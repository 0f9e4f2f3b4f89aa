// IDirectDrawSurface: the primary surface (the screen), off-screen
// system-memory surfaces and 16-bit z-buffers.
#pragma once

#include <cstdint>
#include <memory>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/DirectDraw/AskedImage.h"
#include "Platform/DirectX/DirectDraw/Clipper.h"
#include "Platform/DirectX/DirectDraw/DamageRects.h"
#include "Platform/DirectX/DirectDraw/Palette.h"
#include "Platform/DirectX/DirectDraw/PixelFormat.h"
#include "Platform/DirectX/Raster/TargetMemory.h"
#include "Platform/Win32/Win32Extensions.h"

namespace dx {

class DirectDrawObject;
class Presenter;
struct SurfaceLayout;

class Surface final : public ComObject<IDirectDrawSurface> {
public:
    // A surface as `layout` describes it, or DDERR_OUTOFMEMORY.
    static HRESULT Create(DirectDrawObject* owner, const SurfaceLayout& layout, Surface** surface);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT AddAttachedSurface(IDirectDrawSurface* lpDDSAttachedSurface) override;
    HRESULT GetAttachedSurface(DDSCAPS* lpDDSCaps, IDirectDrawSurface** lplpDDAttachedSurface) override;
    HRESULT Blt(RECT* lpDestRect, IDirectDrawSurface* lpDDSrcSurface, RECT* lpSrcRect, DWORD dwFlags,
                DDBLTFX* lpDDBltFx) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* lpDDSurfaceDesc) override;
    HRESULT GetPalette(IDirectDrawPalette** lplpDDPalette) override;
    HRESULT IsLost() override;
    HRESULT Restore() override;
    HRESULT Lock(RECT* lpDestRect, DDSURFACEDESC* lpDDSurfaceDesc, DWORD dwFlags, HANDLE hEvent) override;
    HRESULT Unlock(void* lpSurfaceData) override;
    HRESULT SetClipper(IDirectDrawClipper* lpDDClipper) override;
    HRESULT SetPalette(IDirectDrawPalette* lpDDPalette) override;

    bool IsPrimary() const { return presenter_ != nullptr; }
    Format PixelFormat() const { return format_; }
    DWORD Caps() const { return caps_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    // Where the pixels are: the surface's own memory, or the image of the
    // window it draws in (DrawInImage).
    std::uint8_t* Bits() const { return bits_; }
    bool Lost() const;
    Surface* ZBuffer() const { return zbuffer_.get(); }
    Palette* AttachedPalette() const { return palette_.get(); }
    Presenter* ScreenPresenter() const { return presenter_.get(); }

    // Writes into the memory other than a device's own drawing: a lock (it
    // hands out writable memory), a blit into the surface, a restore, a loss.
    // `area` null: the whole surface.
    void NoteForeignWrite(const RECT* area);
    // A device drew into `area` (clipped to the surface).
    void NoteDrawn(const RECT& area);

    // From now on the surface's pixels are those of `window`'s `image`,
    // which holds them already (they were just presented there whole).
    void DrawInImage(HWND window, const Win32WindowImage& image);
    // Back to the surface's own memory, with the pixels of the image.
    // `asked`: the image as the presentation under way asked for it.
    void LeaveImage(const AskedImage& asked);
    // To be called before the pixels are written: the window's image may
    // still be read by the display (this waits), may have moved (followed),
    // or be gone (the pixels are then lost, and noted so).
    void ReadyForWrite();
    // As ReadyForWrite, with the window's image as `asked` holds it where it
    // is the answer of the window the surface draws in.
    void ReadyForWrite(const AskedImage& asked);
    // How many foreign writes and device draws the surface has seen.
    std::uint64_t ForeignWrites() const { return foreignWrites_; }
    // The area of the latest foreign write; empty before the first.
    const RECT& LastForeignWrite() const { return lastForeign_; }
    std::uint64_t Draws() const { return draws_; }

private:
    Surface(DirectDrawObject* owner, const SurfaceLayout& layout);
    ~Surface() override;

    // The whole surface when `rect` is null; false when `rect` is empty,
    // reversed or outside the surface.
    bool Area(const RECT* rect, RECT* area) const;
    void Describe(DDSURFACEDESC* desc) const;
    HRESULT Present(const RECT* destRect, Surface& source, const RECT& sourceArea, DWORD flags);
    void CopyFrom(const Surface& source, const RECT& sourceArea, const RECT& destArea);
    // Colours for presenting an 8-bit source.
    void PresentationPalette(const Surface& source, std::uint32_t xrgb[256]) const;

    Ref<DirectDrawObject> owner_;
    Format format_;
    DWORD caps_;
    int width_;
    int height_;
    int pitch_;  // of the memory in use
    int ownPitch_;
    raster::TargetMemory memory_;
    std::uint8_t* bits_ = nullptr;
    HWND imageWindow_ = nullptr;  // the window whose image holds the pixels, if any
    std::uint64_t imageMemoryId_ = 0;
    std::unique_ptr<Presenter> presenter_;
    Ref<Surface> zbuffer_;
    Ref<Clipper> clipper_;
    Ref<Palette> palette_;
    bool locked_ = false;
    std::uint64_t foreignWrites_ = 0;
    RECT lastForeign_{};
    std::uint64_t draws_ = 0;
    // The pixels changed since the surface was last presented; no part
    // when none.
    DamageRects damage_;
};

}  // namespace dx
