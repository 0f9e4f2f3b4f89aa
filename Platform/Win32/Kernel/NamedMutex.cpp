// Process-wide named mutex: an exclusive flock on a lock file named after the
// mutex. The kernel drops the lock with the last descriptor, so a crashed
// holder never leaves a stale mutex behind.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>

#include "Platform/Win32/Kernel/KernelErrors.h"

// The mutex exists for as long as a handle holding the lock stays open, as a
// Windows mutex exists while any handle to it is open. A handle that found the
// mutex held elsewhere holds no descriptor at all.
struct HANDLE__ {
    int lockFd;
    bool owned;
};

namespace {

std::string LockFilePath(const std::string& name) {
    std::string safeName = name;
    for (char& c : safeName)
        if (c == '/') c = '_';
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && runtimeDir[0] == '/')
        return std::string(runtimeDir) + "/" + safeName + ".lock";
    return "/tmp/" + safeName + "-" + std::to_string(getuid());
}

HANDLE NewHandle(int lockFd, bool owned) {
    HANDLE handle = new (std::nothrow) HANDLE__{lockFd, owned};
    if (handle == nullptr) {
        if (lockFd >= 0) close(lockFd);
        SetLastError(win32_kernel::ERROR_NOT_ENOUGH_MEMORY);
    }
    return handle;
}

}  // namespace

HANDLE CreateMutexA(SECURITY_ATTRIBUTES*, BOOL bInitialOwner, LPCSTR lpName) {
    // An unnamed mutex is private to the process: nothing to lock against.
    if (lpName == nullptr || lpName[0] == '\0') {
        HANDLE handle = NewHandle(-1, bInitialOwner != FALSE);
        if (handle != nullptr) SetLastError(ERROR_SUCCESS);
        return handle;
    }
    // O_CLOEXEC: a program launched while the mutex is held must not keep it.
    // O_NOFOLLOW: the /tmp fallback must not be redirected by a planted link.
    const int fd = open(LockFilePath(lpName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        SetLastError(win32_kernel::ErrorFromErrno(errno));
        return nullptr;
    }
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        close(fd);
        if (error != EWOULDBLOCK) {
            SetLastError(win32_kernel::ErrorFromErrno(error));
            return nullptr;
        }
        HANDLE handle = NewHandle(-1, false);
        if (handle != nullptr) SetLastError(ERROR_ALREADY_EXISTS);
        return handle;
    }
    HANDLE handle = NewHandle(fd, bInitialOwner != FALSE);
    if (handle != nullptr) SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE hMutex) {
    if (hMutex == nullptr) {
        SetLastError(win32_kernel::ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!hMutex->owned) {
        SetLastError(win32_kernel::ERROR_NOT_OWNER);
        return FALSE;
    }
    hMutex->owned = false;
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    if (hObject == nullptr) {
        SetLastError(win32_kernel::ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (hObject->lockFd >= 0) close(hObject->lockFd);
    delete hObject;
    return TRUE;
}
