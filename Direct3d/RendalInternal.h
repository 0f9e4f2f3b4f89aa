// What the layer's own files share and the application does not see.
#pragma once

#include "Direct3d/Rendal.h"

// The source path named in every failure report of the layer.
inline constexpr char RZXSourcePath[] = "C:\\myproject\\Direct3d\\Rendal";

// A failed call's way out: reports `result` with `report` (RZXDDError or
// RZXRMError) and the call's site number, releases the whole state and gives
// the caller's failure result, 0.
inline int Fail(void (*report)(HRESULT, const char*, int), HRESULT result, int site) {
    report(result, RZXSourcePath, site);
    RZXCleanup();
    return 0;
}

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
