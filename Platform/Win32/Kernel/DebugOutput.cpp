// Debugger output is standard error, written directly so that nothing sits in
// a buffer when the process ends through exit() or a crash. Nobody listens
// until the program says so, as on Windows without a debugger attached.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Platform/Win32/Win32Extensions.h"

namespace {

bool debuggerListens = false;

}  // namespace

void Win32ListenToDebugOutput(bool listening) {
    debuggerListens = listening;
}

void OutputDebugStringA(LPCSTR lpOutputString) {
    if (!debuggerListens || lpOutputString == nullptr) return;
    const char* next = lpOutputString;
    std::size_t left = std::strlen(lpOutputString);
    while (left > 0) {
        const ssize_t written = write(STDERR_FILENO, next, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}
