#include "Platform/DirectX/DirectDraw/ScreenImage.h"

#include "Platform/DirectX/DirectDraw/Presenter.h"
#include "Platform/DirectX/DirectDraw/Surface.h"

bool DxReadScreenImage(IDirectDrawSurface* primary, DDSURFACEDESC* image) {
    const auto* surface = dynamic_cast<const dx::Surface*>(primary);
    if (surface == nullptr || !surface->IsPrimary() || image == nullptr ||
        image->dwSize != DDSURFACEDESC_SIZE)
        return false;
    dx::Presenter& screen = *surface->ScreenPresenter();
    if (screen.ScreenImage() == nullptr) return false;
    *image = DDSURFACEDESC{};
    image->dwSize = DDSURFACEDESC_SIZE;
    image->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
    image->dwWidth = static_cast<DWORD>(screen.Width());
    image->dwHeight = static_cast<DWORD>(screen.Height());
    image->lPitch = screen.Pitch();
    image->lpSurface = screen.ScreenImage();
    image->ddpfPixelFormat = dx::Describe(dx::Format::XRGB8888);
    return true;
}
