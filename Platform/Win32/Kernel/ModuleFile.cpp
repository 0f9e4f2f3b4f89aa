// The program's own path, from which a program finds its directory.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Win32Extensions.h"

using win32_kernel::ErrorFromErrno;

namespace {

// readlink gives no length up front, so grow until the link fits.
bool ReadOwnExecutable(std::string& path) {
    for (std::size_t capacity = 256; capacity <= (1u << 16); capacity *= 2) {
        path.resize(capacity);
        const ssize_t length = readlink("/proc/self/exe", path.data(), capacity);
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < capacity) {
            path.resize(static_cast<std::size_t>(length));
            return true;
        }
    }
    errno = ENAMETOOLONG;
    return false;
}

}  // namespace

DWORD GetModuleFileNameA(HINSTANCE, LPSTR lpFilename, DWORD nSize) {
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string path;
    if (!ReadOwnExecutable(path)) {
        SetLastError(ErrorFromErrno(errno));
        lpFilename[0] = '\0';
        return 0;
    }
    const std::size_t copied = path.size() < nSize ? path.size() : nSize - 1;
    std::memcpy(lpFilename, path.data(), copied);
    lpFilename[copied] = '\0';
    SetLastError(copied < path.size() ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS);
    return static_cast<DWORD>(copied);
}

const char* Win32ProgramName() {
    return program_invocation_short_name;
}
