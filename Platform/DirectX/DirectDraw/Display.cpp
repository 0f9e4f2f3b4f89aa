#include "Platform/DirectX/DirectDraw/Display.h"

#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "Platform/DirectX/DxFault.h"

namespace dx {
namespace {

int pretendWidth = 0;
int pretendHeight = 0;

}  // namespace

Format DisplayFormat() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bits == 8) return Format::Indexed8;
    if (bits == 15 || bits == 16) return Format::RGB565;
    return Format::XRGB8888;
}

bool DesktopSize(int* width, int* height) {
    if (pretendWidth > 0 && pretendHeight > 0) {
        *width = pretendWidth;
        *height = pretendHeight;
    } else {
        *width = GetSystemMetrics(SM_CXSCREEN);
        *height = GetSystemMetrics(SM_CYSCREEN);
    }
    return *width > 0 && *height > 0;
}

}  // namespace dx

void DxPretendDesktopSize(int width, int height) {
    DxFault::OnReset([] { DxPretendDesktopSize(0, 0); });
    dx::pretendWidth = width;
    dx::pretendHeight = height;
}
