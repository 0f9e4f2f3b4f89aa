#include "Tool/MappedPicture.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>

namespace {

// The mapping being read (the tool reads one picture at a time). Another
// program may cut the file short while it is mapped; reading a page past its
// new end would end the tool with SIGBUS.
std::atomic<std::uintptr_t> g_guardedStart{0};
std::atomic<std::size_t> g_guardedSize{0};
std::atomic<bool> g_guardedShrank{false};
std::uintptr_t g_pageSize = 0;
struct sigaction g_previousBusAction;

// A fault in the guarded mapping puts a page of zeros where the file's page
// was, and the read goes on; the picture is then reported cut short. Any
// other bus error ends the program as it would have.
void OnBusError(int, siginfo_t* info, void*) {
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    const std::uintptr_t start = g_guardedStart.load();
    if (start != 0 && at >= start && at - start < g_guardedSize.load()) {
        void* page = reinterpret_cast<void*>(at & ~(g_pageSize - 1));
        if (mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            g_guardedShrank = true;
            return;
        }
    }
    sigaction(SIGBUS, &g_previousBusAction, nullptr);
}

void GuardMapping(void* address, std::size_t size) {
    if (g_guardedStart.load() != 0) return;
    g_pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    g_guardedShrank = false;
    g_guardedSize = size;
    g_guardedStart = reinterpret_cast<std::uintptr_t>(address);
    struct sigaction action = {};
    action.sa_sigaction = &OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &g_previousBusAction);
}

void UnguardMapping(void* address) {
    if (g_guardedStart.load() != reinterpret_cast<std::uintptr_t>(address)) return;
    sigaction(SIGBUS, &g_previousBusAction, nullptr);
    g_guardedStart = 0;
}

}  // namespace

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
            GuardMapping(address_, size_);
            bytes_ =
                QByteArray::fromRawData(static_cast<const char*>(address_), static_cast<qsizetype>(size_));
        }
    }
    close(fd);
}

MappedPicture::~MappedPicture() {
    bytes_ = QByteArray();
    if (address_ == nullptr) return;
    UnguardMapping(address_);
    munmap(address_, size_);
}

bool MappedPicture::Shrank() const {
    return address_ != nullptr && g_guardedStart.load() == reinterpret_cast<std::uintptr_t>(address_) &&
           g_guardedShrank.load();
}

void MappedPicture::Release(qint64 upTo) {
    const long page = sysconf(_SC_PAGESIZE);
    const std::size_t length = static_cast<std::size_t>(upTo / page * page);
    if (address_ != nullptr && length > 0 && length <= size_) madvise(address_, length, MADV_DONTNEED);
}
