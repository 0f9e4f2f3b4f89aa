// Rendal: the screensaver's rendering layer over DirectDraw, Direct3D and
// Direct3D Retained Mode. Plain functions over one global state record.
//
// Every operation returns 1 for success and 0 for failure unless stated
// otherwise. A failing creation or per-frame operation reports the failed
// call by name on the debug output, records it (RZXLastFailure), releases
// the whole state (RZXCleanup) and returns 0. Traces and reports go to
// OutputDebugStringA only.
#pragma once

#include "Platform/DirectX/D3DRM.h"

// The one rendering state. Object fields hold one reference each; null means
// not created. The application reads lpD3DRM and active and nothing else.
struct RZXSTATE {
    IDirectDraw* lpDD;
    IDirect3D2* lpD3D;
    IDirect3DRM2* lpD3DRM;
    // Held only while CreateD3DRM obtains lpD3DRM from it.
    IDirect3DRM* lpD3DRMBase;
    IDirectDrawSurface* lpDDSPrimary;
    // Off-screen system-memory surface that Direct3D renders into.
    IDirectDrawSurface* lpDDSBack;
    IDirectDrawSurface* lpDDSZBuffer;
    // Only on 8-bit displays.
    IDirectDrawPalette* lpDDPalette;
    PALETTEENTRY palEntries[256];
    IDirectDrawClipper* lpDDClipper;
    IDirect3DDevice2* lpD3DDevice;
    IDirect3DRMDevice2* lpRMDevice;
    IDirect3DRMViewport* lpRMViewport;
    // Colour model looked for in device enumeration (D3DCOLOR_MONO).
    D3DCOLORMODEL colorModel;
    // The window's client area in screen coordinates.
    RECT rcScreen;
    // 1 while rendering, presentation and restoration may run.
    int active;
    char traceBuf[2048];
    int width;
    int height;
    int bpp;
};

extern RZXSTATE RZXState;

// 1 once enumeration has announced a hardware device; further devices are
// then ignored.
extern int enumDone;

// What RZXEnumDevice is handed through EnumDevices.
struct RZXEnumContext {
    D3DCOLORMODEL colorModel;
    // The first software device announced; null until then.
    GUID* helGuid;
};

// --- State and lifecycle -----------------------------------------------------

// Zeroes the state and sets the defaults: 320 x 240 at 16 bits per pixel;
// clears RZXLastFailure. Must run once before any other operation. Returns 1.
int RZXInitialize();
// Releases every object of the state and clears active; keeps colorModel,
// rcScreen, width, height, bpp and palEntries. Safe at any time. Returns 1.
int RZXCleanup();
// 0 clears active, 1 sets it, anything else leaves it. Returns 1.
int RZXSetActive(int on);
// Brings up the 3D side after CreateDirectDrawWin: the result of CreateD3DRM.
int RZXCreate();

// --- Display surfaces --------------------------------------------------------

// DirectDraw in windowed cooperation with hWnd: the primary surface with a
// clipper bound to the window and an off-screen surface of the client size.
// Releases whatever a previous call created first.
int CreateDirectDrawWin(HWND hWnd);

// --- Device selection and creation -------------------------------------------

// Retained Mode object, palette on 8-bit displays, software Direct3D device
// with a z-buffer, its Retained Mode device and the render settings.
int CreateD3DRM();
// The Direct3D device on the back surface: MMX rasteriser, else ramp. When
// neither can be made the process ends with exit code 1.
int RZXCreateDevice(int colorModel);
// Enumeration callback; lpContext points at an RZXEnumContext. Always
// D3DENUMRET_OK.
HRESULT RZXEnumDevice(GUID* lpGuid, char* lpDeviceDescription, char* lpDeviceName,
                      D3DDEVICEDESC* lpD3DHWDeviceDesc, D3DDEVICEDESC* lpD3DHELDeviceDesc, void* lpContext);

// --- Viewport, rendering and presentation ------------------------------------

// The viewport over the whole render area, looking through camera, with its
// back plane at 5000 units. Requires RZXCreate to have succeeded.
int RZXViewport(IDirect3DRMFrame* camera);
// Clears the viewport, renders scene into it and updates the device. 0
// without any call while inactive or when scene is null.
int RZXRender(IDirect3DRMFrame* scene);
// Copies the back surface unscaled into rcScreen on the primary surface. 0
// without any call while inactive.
int RZXFlip();
// Restores a lost primary surface or z-buffer and forces a viewport update.
// Always 1.
int RZXRestore();

// --- Text over the picture ---------------------------------------------------

// Writes `text` small, white on a black box, into the top-left corner of the
// back surface through a lock: between RZXRender and RZXFlip, it shows over
// the frame. Glyphs for digits, '.', '-', ' ', 'f', 'p' and 's'; any other
// character shows as a blank. The glyphs grow with the render area's height
// (5 x 7 pixels up to 719 rows, 10 x 14 up to 1439, ...); a box that does not
// fit is cut. The box's size follows the text's length only, so texts of one
// length replace each other whole. 0 without any call while inactive or
// when text is null. Allocates nothing.
int RZXCornerText(const char* text);

// --- Error reporting and trace -----------------------------------------------

// Writes text and one newline.
void RZXTrace(const char* text);
// Reports a DirectDraw result by name with the reporting file and site.
void RZXDDError(HRESULT code, const char* file, int line);
// Reports a Retained Mode result by name with the reporting file and site.
void RZXRMError(HRESULT code, const char* file, int line);

struct RZXErrorName {
    HRESULT code;
    const char* name;
};

extern const RZXErrorName RZXDDErrorName[100];
extern const RZXErrorName RZXRMErrorName[13];

// The name of any result code: the DirectDraw table's, else the Retained
// Mode table's, else "Unknown Error".
const char* RZXNameOf(HRESULT code);

// --- The last failure --------------------------------------------------------

// What made the layer give up last, for the application to tell a user in
// its own words (the debug output may have nobody listening). Every report
// records its code, name and site; a failing operation adds what it was
// doing; a failure that the trace names without a code records one too.
struct RZXFAILURE {
    HRESULT code;      // 0: nothing failed since RZXInitialize
    const char* name;  // the code's name, as the report gives it
    const char* step;  // what the layer was doing, in words; null for a report of the application's own
    int line;          // the report's site number; 0 when the trace gives none
};

extern RZXFAILURE RZXLastFailure;
