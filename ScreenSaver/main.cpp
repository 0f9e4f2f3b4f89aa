// Hands WinMain what the Windows runtime would: the command line after the
// program's name, with the arguments joined by single blanks.
#include <string>

#include "ScreenSaver/Deepdr.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    // Stands for the module's instance handle; nothing reads through it.
    static char module;
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
