// The saver as its program starts it, with one call of the software DirectX
// services failing for good, for end-to-end runs of what a user sees of a
// failure on a real display.
//
//   saver_with_fault CALL COMMAND-LINE
//
// CALL is "present" (the copy of each frame to the window) or "display"
// (the creation of DirectDraw, at start-up); COMMAND-LINE is the saver's,
// as one argument. Nobody listens to the trace.
#include <cstdio>
#include <cstring>

#include "Platform/DirectX/DxFault.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/Deepdr.h"
#include "Settings/Settings.h"

int main(int argc, char** argv) {
    const DxCall call = argc == 3 && std::strcmp(argv[1], "present") == 0   ? DxCall::Surface_Blt
                        : argc == 3 && std::strcmp(argv[1], "display") == 0 ? DxCall::DirectDrawCreate
                                                                            : DxCall::Count;
    if (call == DxCall::Count) {
        std::fprintf(stderr, "usage: saver_with_fault present|display COMMAND-LINE\n");
        return 2;
    }
    DxFault::FailCall(call, DDERR_GENERIC, 0, -1);
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    Win32SetProfileFileKey(vantel_settings::kSettingSection, vantel_settings::kFileNameKey);
    static char module;
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, argv[2], SW_SHOWDEFAULT);
}
