// The one line a user gets when the saver stops drawing, whoever listens to
// the debug output: the rendering layer's report there names a source file
// and a site number, which tells a user nothing they can act on.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Direct3d/Rendal.h"
#include "Platform/DirectX/D3DExtensions.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/Deepdr.h"

namespace {

// The rendering layer's failure that was told last.
RZXFAILURE told{};

bool Same(const RZXFAILURE& a, const RZXFAILURE& b) {
    return a.code == b.code && a.name == b.name && a.step == b.step && a.line == b.line;
}

// The rendering layer may end the process itself when it cannot make a
// device; that end must not go untold either.
void TellUntoldFailure() {
    if (RZXLastFailure.code != 0 && !Same(RZXLastFailure, told))
        SayDrawingStopped("setting up the 3D device");
}

// What the error's name alone does not tell a user: the size that failed.
void Why(HRESULT code, char* out, std::size_t size) {
    RECT client{};
    if (code != DDERR_TOOBIGSIZE || !GetClientRect(MainWindow, &client)) return;
    std::snprintf(out, size, ": the window is %ldx%ld pixels, at most %dx%d can be drawn",
                  static_cast<long>(client.right - client.left),
                  static_cast<long>(client.bottom - client.top), DxLargestSurfaceSide, DxLargestSurfaceSide);
}

}  // namespace

void SayDrawingStopped(const char* stage, HRESULT code) {
    RZXFAILURE failure = RZXLastFailure;
    told = failure;
    if (code != 0) failure = RZXFAILURE{code, RZXNameOf(code), nullptr, 0};

    char window[40] = "";
    if (HostWindow != 0)
        std::snprintf(window, sizeof window, " into window 0x%llx",
                      static_cast<unsigned long long>(HostWindow));
    char error[96] = "";
    if (failure.code != 0) {
        const int used = std::snprintf(error, sizeof error, " with %s", failure.name);
        // A code outside the tables is still worth looking up.
        if (std::strcmp(failure.name, RZXNameOf(0)) == 0)
            std::snprintf(error + used, sizeof error - used, " 0x%08X", static_cast<unsigned>(failure.code));
    }
    char site[24] = "";
    if (failure.line != 0) std::snprintf(site, sizeof site, " (site %d)", failure.line);
    char why[96] = "";
    Why(failure.code, why, sizeof why);
    std::fprintf(stderr, "vantel: cannot draw%s on display %s: %s failed%s%s%s\n", window, Win32DisplayName(),
                 failure.step != nullptr ? failure.step : stage, error, site, why);
}

void TellFailuresAtExit() {
    static bool registered = false;
    if (!registered) std::atexit(TellUntoldFailure);
    registered = true;
}
