// Choosing, and where need be making, the directory of the lock files.
#include "Platform/Posix/LockDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace posix {
namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

bool OwnedByUs(const struct stat& status) {
    return status.st_uid == geteuid();
}

// A directory of ours that no one else may write to and that we may use:
// its descriptor, else -1.
int OpenUsableDirectory(const char* path) {
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status;
    if (fstat(fd, &status) != 0 || !OwnedByUs(status) || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0 ||
        faccessat(fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The directory `name` in `parentFd`, itself and not what a link there
// points to, when it is ours: its mode is put right (only we may enter it)
// and its descriptor given. Else -1, with errno EEXIST when the name is
// taken by something not ours: a file, a link, another user's directory.
int OpenPrivateDirectory(int parentFd, const char* name) {
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR || errno == EACCES) errno = EEXIST;
        return -1;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || !OwnedByUs(status)) {
        close(fd);
        errno = EEXIST;
        return -1;
    }
    if ((status.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Of the directories `prefix`XXXXXX in `parentFd` that are ours and closed
// to everyone else, the one whose name sorts first; empty when there is none.
std::string FirstOwnDirectory(int parentFd, const std::string& prefix) {
    // A descriptor of its own: a listing read to its end stays there for
    // every descriptor that shares it.
    const int listingFd = openat(parentFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = listingFd >= 0 ? fdopendir(listingFd) : nullptr;
    if (listing == nullptr) {
        if (listingFd >= 0) close(listingFd);
        return {};
    }
    std::string first;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (!first.empty() && name >= first) continue;
        struct stat status;
        if (fstatat(parentFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode) &&
            OwnedByUs(status) && (status.st_mode & 077) == 0)
            first = name;
    }
    closedir(listing);
    return first;
}

// Another user holds our directory's name: use a directory of our own
// beside it, the same one for every copy that looks (two copies making one
// at the same moment agree on the first afterwards, and the other goes).
LockDirectory OpenOwnSibling(int parentFd, const std::string& parent, const std::string& name) {
    const std::string prefix = name + ".";
    std::string chosen = FirstOwnDirectory(parentFd, prefix);
    if (chosen.empty()) {
        std::string made = parent + "/" + prefix + "XXXXXX";
        if (mkdtemp(made.data()) == nullptr) return {-1, parent + "/" + prefix + "XXXXXX", errno};
        chosen = FirstOwnDirectory(parentFd, prefix);
        const std::string madeName = made.substr(parent.size() + 1);
        if (chosen != madeName) unlinkat(parentFd, madeName.c_str(), AT_REMOVEDIR);
    }
    if (chosen.empty()) return {-1, parent + "/" + prefix + "XXXXXX", ENOENT};
    const int fd = OpenPrivateDirectory(parentFd, chosen.c_str());
    return {fd, parent + "/" + chosen, fd < 0 ? errno : 0};
}

LockDirectory OpenInTemporaryDirectory(const std::string& program) {
    const char* variable = std::getenv("TMPDIR");
    const std::string parent = IsAbsolute(variable) ? variable : "/tmp";
    const std::string name = program + "-" + std::to_string(geteuid());
    const int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) return {-1, parent, errno};
    LockDirectory found{-1, parent + "/" + name, 0};
    if (mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
        found.error = errno;
    } else {
        found.fd = OpenPrivateDirectory(parentFd, name.c_str());
        if (found.fd < 0 && errno == EEXIST) {
            found = OpenOwnSibling(parentFd, parent, name);
        } else if (found.fd < 0) {
            found.error = errno;
        }
    }
    close(parentFd);
    return found;
}

}  // namespace

LockDirectory OpenLockDirectory(const std::string& program) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsAbsolute(runtime)) {
        if (const int fd = OpenUsableDirectory(runtime); fd >= 0) return {fd, runtime, 0};
    }
    // A host may start us with a bare environment: the session's runtime
    // directory is still where the other copies keep their locks.
    const std::string userRuntime = "/run/user/" + std::to_string(geteuid());
    if (const int fd = OpenUsableDirectory(userRuntime.c_str()); fd >= 0) return {fd, userRuntime, 0};
    return OpenInTemporaryDirectory(program);
}

}  // namespace posix
