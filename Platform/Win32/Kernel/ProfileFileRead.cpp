#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Platform/Win32/Kernel/ProfileFile.h"

namespace win32_kernel {
namespace {

ProfileFileText Failed(int error) {
    ProfileFileText result;
    const bool missing = error == ENOENT || error == ENOTDIR;
    result.state = missing ? ProfileFileText::State::Missing : ProfileFileText::State::Unreadable;
    result.error = error;
    return result;
}

// Reads to the end of the file, or to one byte beyond the limit, which shows
// that the file grew past it after it was measured.
int ReadBounded(int fd, std::size_t expected, std::string& text) {
    const std::size_t limit = kMaxProfileBytes + 1;
    text.resize(std::min(expected + 1, limit));
    std::size_t length = 0;
    for (;;) {
        if (length == text.size()) {
            if (text.size() == limit) break;
            text.resize(std::min(text.size() * 2, limit));
        }
        const ssize_t got = read(fd, text.data() + length, text.size() - length);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        length += static_cast<std::size_t>(got);
    }
    text.resize(length);
    return length > kMaxProfileBytes ? EFBIG : 0;
}

}  // namespace

ProfileFileText ReadProfileFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO planted under the file's name must not hang.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Failed(errno);
    struct stat status;
    int error = 0;
    if (fstat(fd, &status) != 0)
        error = errno;
    else if (!S_ISREG(status.st_mode))
        error = EINVAL;
    else if (static_cast<unsigned long long>(status.st_size) > kMaxProfileBytes)
        error = EFBIG;
    ProfileFileText result;
    if (error == 0) error = ReadBounded(fd, static_cast<std::size_t>(status.st_size), result.text);
    close(fd);
    if (error != 0) return Failed(error);
    result.state = ProfileFileText::State::Present;
    result.mode = status.st_mode & 07777;
    return result;
}

}  // namespace win32_kernel
