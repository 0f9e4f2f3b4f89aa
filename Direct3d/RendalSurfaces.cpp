// The DirectDraw side of the display: windowed cooperation, the primary
// surface clipped to the window, the off-screen render surface and, on 8-bit
// displays, the palette both surfaces share.
#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

namespace {

// Site numbers of the failure reports, one per failing call.
constexpr RZXSite kDirectDrawCreateSite = {438, "creating DirectDraw"};
constexpr RZXSite kCooperativeLevelSite = {466, "setting DirectDraw's cooperation with the window"};
constexpr RZXSite kPrimarySurfaceSite = {476, "creating the screen's surface"};
constexpr RZXSite kBackSurfaceSite = {490, "creating the surface to render into"};
constexpr RZXSite kCreateClipperSite = {494, "creating the clipper"};
constexpr RZXSite kClipperWindowSite = {495, "binding the clipper to the window"};
constexpr RZXSite kAttachClipperSite = {496, "attaching the clipper to the screen's surface"};

// The first ten and last ten system colours belong to the system; the
// renderer may only read them. The rest it may take over.
BYTE PaletteFlags(int entry) {
    return (entry < 10 || entry > 245) ? D3DPAL_READONLY : PC_RESERVED;
}

}  // namespace

int CreateDirectDrawWin(HWND hWnd) {
    OutputDebugStringA("RZX:CreateDirectDrawWin\n");
    RZXCleanup();

    HDC hdc = GetDC(hWnd);
    RZXState.bpp = GetDeviceCaps(hdc, BITSPIXEL);
    ReleaseDC(hWnd, hdc);

    RECT& rc = RZXState.rcScreen;
    GetClientRect(hWnd, &rc);
    POINT origin{0, 0};
    ClientToScreen(hWnd, &origin);
    rc.left += origin.x;
    rc.right += origin.x;
    rc.top += origin.y;
    rc.bottom += origin.y;
    RZXState.width = rc.right - rc.left;
    RZXState.height = rc.bottom - rc.top;

    HRESULT result = DirectDrawCreate(nullptr, &RZXState.lpDD, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kDirectDrawCreateSite);

    RZXState.colorModel = D3DCOLOR_MONO;

    result = RZXState.lpDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL);
    if (FAILED(result)) return Fail(RZXDDError, result, kCooperativeLevelSite);

    DDSURFACEDESC ddsd{};
    ddsd.dwSize = DDSURFACEDESC_SIZE;
    ddsd.dwFlags = DDSD_CAPS;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    result = RZXState.lpDD->CreateSurface(&ddsd, &RZXState.lpDDSPrimary, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kPrimarySurfaceSite);

    ddsd = DDSURFACEDESC{};
    ddsd.dwSize = DDSURFACEDESC_SIZE;
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    ddsd.dwWidth = static_cast<DWORD>(RZXState.width);
    ddsd.dwHeight = static_cast<DWORD>(RZXState.height);
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
    result = RZXState.lpDD->CreateSurface(&ddsd, &RZXState.lpDDSBack, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kBackSurfaceSite);

    result = RZXState.lpDD->CreateClipper(0, &RZXState.lpDDClipper, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kCreateClipperSite);
    result = RZXState.lpDDClipper->SetHWnd(0, hWnd);
    if (FAILED(result)) return Fail(RZXDDError, result, kClipperWindowSite);
    result = RZXState.lpDDSPrimary->SetClipper(RZXState.lpDDClipper);
    if (FAILED(result)) return Fail(RZXDDError, result, kAttachClipperSite);

    return 1;
}

void RZXPalettize() {
    OutputDebugStringA("RZX:palettized \n");

    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, RZXState.palEntries);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 256; ++i) RZXState.palEntries[i].peFlags = PaletteFlags(i);

    // A repeated creation would otherwise overwrite, and so leak, the palette
    // the field already holds.
    ReleaseField(RZXState.lpDDPalette);
    RZXState.lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, RZXState.palEntries,
                                 &RZXState.lpDDPalette, nullptr);
    RZXState.lpDDSBack->SetPalette(RZXState.lpDDPalette);
    RZXState.lpDDSPrimary->SetPalette(RZXState.lpDDPalette);
}
