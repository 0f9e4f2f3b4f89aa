#include "Platform/Win32/User/X11/DisplayPower.h"

#include <X11/extensions/dpms.h>

namespace win32user {

bool HasDpms(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    return DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
}

std::optional<int> DpmsLevel(Display* display) {
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled) || !enabled) return std::nullopt;
    return level;
}

}  // namespace win32user
