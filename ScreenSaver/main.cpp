// Hands WinMain what the Windows runtime would: the command line after the
// program's name, the arguments joined by single blanks (CommandLineWords.h).
// The settings file's folder is ours to name; VANTEL_DEBUG=1 stands for a
// debugger that listens to the trace (2: and the rasterizer's choice too). A request from outside to end
// (SIGTERM, or SIGINT) ends the saver as a closed window does, with 0, from
// the first moment on, however far its start has come.
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/CommandLineWords.h"
#include "ScreenSaver/DebugLevel.h"
#include "ScreenSaver/Deepdr.h"
#include "Settings/Settings.h"

int main(int argc, char** argv) {
    Win32EndOnTerminationSignals(0);
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    Win32SetProfileFileKey(vantel_settings::kSettingSection, vantel_settings::kFileNameKey);
    Win32ListenToDebugOutput(SaverDebugLevel() >= 1);
    Win32NeverAutolaunchSessionBus();
    std::string commandLine = JoinArguments(argc - 1, argv + 1);
    // Stands for the module's instance handle; nothing reads through it.
    static char module;
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
