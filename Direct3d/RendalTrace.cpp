// Trace lines and failure reports on the debug output.
#include <cstdio>

#include "Direct3d/Rendal.h"

namespace {

template <std::size_t N>
const char* NameOf(const RZXErrorName (&table)[N], HRESULT code) {
    for (const RZXErrorName& row : table)
        if (row.code == code) return row.name;
    return "Unknown Error";
}

void Report(const char* format, const char* knownName, const char* file, int line) {
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
    Report("DirectDraw Error %s\nin file %s at line %d", NameOf(RZXDDErrorName, code), file, line);
}

void RZXRMError(HRESULT code, const char* file, int line) {
    Report("Direct3D-RM Error : %s\nin file %s at line %d", NameOf(RZXRMErrorName, code), file, line);
}
