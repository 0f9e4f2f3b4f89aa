// Trace lines and failure reports on the debug output, and the record of
// the last failure.
#include <cstdio>

#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

namespace {

// The code's name in the table, else null.
template <std::size_t N>
const char* Find(const RZXErrorName (&table)[N], HRESULT code) {
    for (const RZXErrorName& row : table)
        if (row.code == code) return row.name;
    return nullptr;
}

template <std::size_t N>
const char* NameOf(const RZXErrorName (&table)[N], HRESULT code) {
    const char* name = Find(table, code);
    return name != nullptr ? name : "Unknown Error";
}

void Report(const char* format, HRESULT code, const char* knownName, const char* file, int line) {
    RZXLastFailure = RZXFAILURE{code, knownName, nullptr, line};
    char name[256];
    std::snprintf(name, sizeof name, "%s", knownName);
    char message[1024];
    std::snprintf(message, sizeof message, format, name, file, line);
    RZXTrace(message);
}

}  // namespace

void RZXTrace(const char* text) {
    std::snprintf(RZXState.traceBuf, sizeof RZXState.traceBuf, "%s\n", text);
    OutputDebugStringA(RZXState.traceBuf);
}

void RZXDDError(HRESULT code, const char* file, int line) {
    Report("DirectDraw Error %s\nin file %s at line %d", code, NameOf(RZXDDErrorName, code), file, line);
}

void RZXRMError(HRESULT code, const char* file, int line) {
    Report("Direct3D-RM Error : %s\nin file %s at line %d", code, NameOf(RZXRMErrorName, code), file, line);
}

const char* RZXNameOf(HRESULT code) {
    const char* name = Find(RZXDDErrorName, code);
    return name != nullptr ? name : NameOf(RZXRMErrorName, code);
}

void RememberFailure(HRESULT result, const char* step) {
    RZXLastFailure = RZXFAILURE{result, RZXNameOf(result), step, 0};
}
