#include "Tool/MappedPicture.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

MappedPicture::MappedPicture(const char* path, std::size_t limit) {
    // As the bounded read: a FIFO or device under the name is never opened.
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) {
        error_ = errno != 0 ? errno : EINVAL;
        return;
    }
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        error_ = EINVAL;
    } else if (static_cast<unsigned long long>(status.st_size) > limit) {
        error_ = EFBIG;
    } else {
        size_ = static_cast<std::size_t>(status.st_size);
        address_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (address_ == MAP_FAILED) {
            error_ = errno;
            address_ = nullptr;
        } else {
            madvise(address_, size_, MADV_SEQUENTIAL);
            bytes_ =
                QByteArray::fromRawData(static_cast<const char*>(address_), static_cast<qsizetype>(size_));
        }
    }
    close(fd);
}

MappedPicture::~MappedPicture() {
    bytes_ = QByteArray();
    if (address_ != nullptr) munmap(address_, size_);
}

void MappedPicture::Release(qint64 upTo) {
    const long page = sysconf(_SC_PAGESIZE);
    const std::size_t length = static_cast<std::size_t>(upTo / page * page);
    if (address_ != nullptr && length > 0 && length <= size_) madvise(address_, length, MADV_DONTNEED);
}
