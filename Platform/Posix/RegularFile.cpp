#include "Platform/Posix/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace posix {
namespace {

// Reads to the end of the file, or to one byte beyond the limit, which shows
// that the file grew past it after it was measured.
int ReadToEnd(int fd, std::size_t expected, std::size_t limit, std::string& bytes) {
    const std::size_t capacity = limit + 1;
    bytes.resize(std::min(expected + 1, capacity));
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (bytes.size() == capacity) break;
            bytes.resize(std::min(bytes.size() * 2, capacity));
        }
        const ssize_t got = read(fd, bytes.data() + length, bytes.size() - length);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        length += static_cast<std::size_t>(got);
    }
    bytes.resize(length);
    return length > limit ? EFBIG : 0;
}

}  // namespace

RegularFileRead ReadRegularFile(const char* path, std::size_t limit, std::string* bytes, Links links) {
    RegularFileRead result;
    bytes->clear();
    // Opening a device can act on it (a tape rewinds, a modem line drops):
    // only what is a regular file before the open is opened at all.
    const bool follow = links == Links::Follow;
    struct stat status;
    if ((follow ? stat(path, &status) : lstat(path, &status)) == 0 && !S_ISREG(status.st_mode)) {
        result.found = true;
        result.error = S_ISLNK(status.st_mode) ? ELOOP : EINVAL;
        return result;
    }
    // O_NONBLOCK: a FIFO swapped in under the file's name must not hang the open.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    result.found = true;
    if (fstat(fd, &status) != 0) {
        result.error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        result.error = EINVAL;
    } else if (static_cast<unsigned long long>(status.st_size) > limit) {
        result.error = EFBIG;
    } else {
        result.mode = status.st_mode & 07777;
        result.error = ReadToEnd(fd, static_cast<std::size_t>(status.st_size), limit, *bytes);
    }
    close(fd);
    if (result.error != 0) bytes->clear();
    return result;
}

}  // namespace posix
