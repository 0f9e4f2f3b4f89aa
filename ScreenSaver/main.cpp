// Hands WinMain what the Windows runtime would: the command line after the
// program's name, the arguments joined by single blanks (CommandLineWords.h).
// The settings file's folder is ours to name.
#include <string>

#include "ScreenSaver/CommandLineWords.h"
#include "ScreenSaver/Deepdr.h"
#include "Settings/Settings.h"

int main(int argc, char** argv) {
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    std::string commandLine = JoinArguments(argc - 1, argv + 1);
    // Stands for the module's instance handle; nothing reads through it.
    static char module;
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
