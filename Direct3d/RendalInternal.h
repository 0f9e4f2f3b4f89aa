// What the layer's own files share and the application does not see.
#pragma once

#include "Direct3d/Rendal.h"

// The source path named in every failure report of the layer.
inline constexpr char RZXSourcePath[] = "C:\\myproject\\Direct3d\\Rendal";

// A call that may fail: its site number in the failure report, and what the
// layer does there, in words.
struct RZXSite {
    int line;
    const char* step;
};

// A failed call's way out: reports `result` with `report` (RZXDDError or
// RZXRMError) and the call's site number, records the step, releases the
// whole state and gives the caller's failure result, 0.
inline int Fail(void (*report)(HRESULT, const char*, int), HRESULT result, RZXSite site) {
    report(result, RZXSourcePath, site.line);
    RZXLastFailure.step = site.step;
    RZXCleanup();
    return 0;
}

// Records a failure that the trace names without its code or site.
void RememberFailure(HRESULT result, const char* step);

// Releases the object a state field holds, if any, and clears the field.
template <typename T>
void ReleaseField(T*& field) {
    if (field) {
        field->Release();
        field = nullptr;
    }
}

// The 8-bit palette from the system colours, set on the back and the primary
// surface. Requires the display surfaces; cannot fail.
void RZXPalettize();
