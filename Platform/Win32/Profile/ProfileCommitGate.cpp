#include "Platform/Win32/Profile/ProfileCommitGate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace win32_profile {

CommitGate::CommitGate(const std::string& directory, Mode mode) {
    fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    const int operation = mode == Mode::Shared ? LOCK_SH | LOCK_NB : LOCK_EX;
    int result;
    while ((result = flock(fd_, operation)) != 0 && errno == EINTR) {
    }
    held_ = result == 0;
    busy_ = result != 0 && errno == EWOULDBLOCK;
}

CommitGate::~CommitGate() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace win32_profile
