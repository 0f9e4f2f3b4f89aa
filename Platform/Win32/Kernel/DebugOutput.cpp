// Debugger output is standard error, written directly so that nothing sits in
// a buffer when the process ends through exit() or a crash.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Platform/Win32/Win32.h"

void OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString == nullptr) return;
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
