// Process-wide named mutex: an exclusive flock on a lock file named after the
// mutex, in a directory that only we can write to. The kernel drops the lock
// with the last descriptor, so a crashed holder never leaves a stale mutex;
// a holder removes its lock file when it closes the mutex or ends, so files
// do not pile up.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "Platform/Posix/LockDirectory.h"
#include "Platform/Win32/Kernel/HeldLocks.h"
#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Win32Extensions.h"

// The mutex exists for as long as a handle holding the lock stays open, as a
// Windows mutex exists while any handle to it is open. A handle that found the
// mutex held elsewhere holds no descriptor at all.
struct HANDLE__ {
    int lockFd;        // -1: holds no lock
    int dirFd;         // the lock file's directory, while the lock is held
    std::string file;  // the lock file's name in it
    pid_t holder;      // the process that took the lock
    int slot;          // its entry among the held locks, or -1
    bool owned;
};

namespace {

// What a signal handler may need to remove: plain data, changed only while
// every signal is blocked, so a handler never sees half an entry.
struct HeldLock {
    pid_t holder;  // 0: a free entry; a forked child holds nothing of its parent's
    int dirFd;
    char name[NAME_MAX + 1];
};
constexpr int kMaxHeldLocks = 16;
HeldLock heldLocks[kMaxHeldLocks];

class AllSignalsBlocked {
public:
    AllSignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
    }
    ~AllSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    AllSignalsBlocked(const AllSignalsBlocked&) = delete;
    AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;

private:
    sigset_t previous_;
};

void RemoveAtExit() {
    AllSignalsBlocked blocked;
    win32_kernel::RemoveHeldLockFiles();
}

// The entry that remembers the lock, or -1 when all are taken (the lock file
// then stays when the process ends without closing the mutex). Called with
// every signal blocked.
int RememberHeldLock(int dirFd, const std::string& name) {
    static const bool removedAtExit = std::atexit(RemoveAtExit) == 0;
    if (!removedAtExit || name.size() > NAME_MAX) return -1;
    for (int slot = 0; slot < kMaxHeldLocks; ++slot) {
        HeldLock& lock = heldLocks[slot];
        if (lock.holder != 0) continue;
        lock.dirFd = dirFd;
        std::memcpy(lock.name, name.c_str(), name.size() + 1);
        lock.holder = getpid();
        return slot;
    }
    return -1;
}

// The executable's file name, which names its private directory.
std::string ProgramName() {
    char path[4096];
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return "named-mutex";
    const std::string full = path;
    return full.substr(full.rfind('/') + 1);
}

std::string LockFileName(const std::string& mutexName) {
    std::string file = mutexName;
    for (char& c : file)
        if (c == '/') c = '_';
    return file + ".lock";
}

// Whether `name` in `dirFd` still names the file open as `fd`.
bool StillNamed(int dirFd, const char* name, int fd) {
    struct stat open, named;
    return fstat(fd, &open) == 0 && fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Opens `name` in `dirFd`, made when missing, and locks it: the descriptor
// holding the lock, or -1 with errno EWOULDBLOCK when another holds it, or
// the errno value of what failed.
int LockFile(int dirFd, const char* name) {
    // A holder removes its file while it still holds the lock, so a lock
    // taken (or refused) on a file that no longer goes by the name is a lock
    // on nothing: try again with the file the name now names.
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // O_CLOEXEC: a program launched while the mutex is held must not keep it.
        const int fd = openat(dirFd, name, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return -1;
        int locked;
        do {
            locked = flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        const int error = errno;
        if (StillNamed(dirFd, name, fd)) {
            if (locked == 0) return fd;
            close(fd);
            errno = error;
            return -1;
        }
        close(fd);
    }
    // The name keeps changing hands: others come and go under it.
    errno = EWOULDBLOCK;
    return -1;
}

HANDLE NewHandle(int lockFd, int dirFd, const std::string& file, bool owned) {
    HANDLE handle = new (std::nothrow) HANDLE__{lockFd, dirFd, file, getpid(), -1, owned};
    if (handle == nullptr) {
        if (lockFd >= 0) close(lockFd);
        if (dirFd >= 0) close(dirFd);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return handle;
}

HANDLE Refuse(const std::string& what, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", Win32ProgramName(), what.c_str(), std::strerror(error));
    SetLastError(win32_kernel::ErrorFromErrno(error));
    return nullptr;
}

}  // namespace

namespace win32_kernel {

void RemoveHeldLockFiles() {
    const pid_t self = getpid();
    for (HeldLock& lock : heldLocks) {
        if (lock.holder != self) continue;
        unlinkat(lock.dirFd, lock.name, 0);
        lock.holder = 0;
    }
}

}  // namespace win32_kernel

HANDLE CreateMutexA(SECURITY_ATTRIBUTES*, BOOL bInitialOwner, LPCSTR lpName) {
    // An unnamed mutex is private to the process: nothing to lock against.
    if (lpName == nullptr || lpName[0] == '\0') {
        HANDLE handle = NewHandle(-1, -1, {}, bInitialOwner != FALSE);
        if (handle != nullptr) SetLastError(ERROR_SUCCESS);
        return handle;
    }
    const posix::LockDirectory directory = posix::OpenLockDirectory(ProgramName());
    if (directory.fd < 0)
        return Refuse("cannot make a directory for lock files " + directory.path, directory.error);
    const std::string file = LockFileName(lpName);
    // From the file's making to its entry among the held locks: a signal
    // that ends the process meanwhile would not know to remove it.
    AllSignalsBlocked blocked;
    const int fd = LockFile(directory.fd, file.c_str());
    if (fd < 0) {
        const int error = errno;
        close(directory.fd);
        if (error != EWOULDBLOCK)
            return Refuse("cannot make the lock file " + directory.path + "/" + file, error);
        HANDLE handle = NewHandle(-1, -1, {}, false);
        if (handle != nullptr) SetLastError(ERROR_ALREADY_EXISTS);
        return handle;
    }
    HANDLE handle = NewHandle(fd, directory.fd, file, bInitialOwner != FALSE);
    if (handle == nullptr) return nullptr;
    handle->slot = RememberHeldLock(directory.fd, file);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE hMutex) {
    if (hMutex == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!hMutex->owned) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    hMutex->owned = false;
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    if (hObject == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (hObject->lockFd >= 0) {
        // The file goes while the lock is still held: whoever opened it
        // meanwhile finds, once it has the lock, that the name has moved on.
        // A forked child closes its copy of the descriptor, and the lock
        // stays with its parent.
        AllSignalsBlocked blocked;
        if (hObject->holder == getpid()) {
            unlinkat(hObject->dirFd, hObject->file.c_str(), 0);
            if (hObject->slot >= 0) heldLocks[hObject->slot].holder = 0;
        }
        close(hObject->lockFd);
        close(hObject->dirFd);
    }
    delete hObject;
    return TRUE;
}
