// Hands WinMain what the Windows runtime would: the command line after the
// program's name, with the arguments joined by single blanks. The settings
// file's folder is ours to name. A request from outside to end (SIGTERM, or
// SIGINT) ends the saver as a closed window does, with 0, from the first
// moment on, however far its start has come.
#include <string>

#include "ScreenSaver/Deepdr.h"
#include "Settings/Settings.h"

int main(int argc, char** argv) {
    Win32EndOnTerminationSignals(0);
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    // Stands for the module's instance handle; nothing reads through it.
    static char module;
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
