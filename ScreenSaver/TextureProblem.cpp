#include "ScreenSaver/TextureProblem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string TextureFileProblem(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0) return std::strerror(errno);
    if (S_ISDIR(status.st_mode)) return "it is a directory";
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    // Non-blocking, should the file have turned into a FIFO meanwhile.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    close(fd);
    return "it is not a bitmap (BMP) the saver can read";
}
