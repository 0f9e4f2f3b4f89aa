// Device contexts of the display: its bit depth and its system palette.
#include <algorithm>
#include <array>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/Win32TestHooks.h"

namespace {

HDC__ screenDc{nullptr};
int pretendedDepth = 0;

constexpr UINT kPaletteSize = 256;

// Our own fixed system palette: the 20 customary static colours at 0-9 and
// 246-255, a 6x6x6 colour cube at 10-225 and a grey ramp at 226-245.
std::array<PALETTEENTRY, kPaletteSize> MakeSystemPalette() {
    constexpr BYTE kLow[10][3] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                  {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                                  {192, 220, 192}, {166, 202, 240}};
    constexpr BYTE kHigh[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                   {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                   {0, 255, 255},   {255, 255, 255}};
    std::array<PALETTEENTRY, kPaletteSize> palette{};
    for (int i = 0; i < 10; ++i) {
        palette[i] = {kLow[i][0], kLow[i][1], kLow[i][2], 0};
        palette[246 + i] = {kHigh[i][0], kHigh[i][1], kHigh[i][2], 0};
    }
    int index = 10;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette[index++] = {static_cast<BYTE>(51 * r), static_cast<BYTE>(51 * g),
                                    static_cast<BYTE>(51 * b), 0};
            }
        }
    }
    for (int step = 1; step <= 20; ++step) {
        const auto grey = static_cast<BYTE>(step * 255 / 21);
        palette[index++] = {grey, grey, grey, 0};
    }
    return palette;
}

int RealDepth(const HDC__& dc) {
    if (dc.window == nullptr) return win32user::ScreenBitsPerPixel();
    win32user::WindowPixels* pixels = win32user::PixelsOf(dc.window);
    return pixels != nullptr ? pixels->BitsPerPixel() : 0;
}

}  // namespace

HDC GetDC(HWND hWnd) {
    if (hWnd == nullptr) return &screenDc;
    HWND w = win32user::LiveWindow(hWnd);
    return w != nullptr ? &w->dc : nullptr;
}

int ReleaseDC(HWND hWnd, HDC hDC) {
    return hDC != nullptr && hDC == GetDC(hWnd) ? 1 : 0;
}

int GetDeviceCaps(HDC hdc, int index) {
    if (hdc == nullptr || index != BITSPIXEL) return 0;
    if (pretendedDepth != 0) return pretendedDepth;
    return RealDepth(*hdc);
}

UINT GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries) {
    if (hdc == nullptr) return 0;
    if (pPalEntries == nullptr) return kPaletteSize;
    static const std::array<PALETTEENTRY, kPaletteSize> palette = MakeSystemPalette();
    if (iStart >= kPaletteSize) return 0;
    const UINT count = std::min(cEntries, kPaletteSize - iStart);
    std::copy_n(palette.begin() + iStart, count, pPalEntries);
    return count;
}

void Win32PretendDisplayDepth(int bitsPerPixel) {
    const bool known = bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    pretendedDepth = known ? bitsPerPixel : 0;
}
