#include "Platform/Win32/Profile/ProfileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace win32_profile {
namespace {

// A wait for the lock in another thread, which the waiting one may give up.
struct LockWait {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int error = 0;
};

int BlockingFlock(int fd, int operation) {
    while (flock(fd, operation) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

}  // namespace

ProfileLock::ProfileLock(const ProfileLocation& location, Mode mode,
                         std::optional<Clock::time_point> deadline) {
    const std::string path = location.directory + "/." + location.baseName + ".lock";
    fd_ = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    Take(mode, deadline);
}

ProfileLock::~ProfileLock() {
    if (fd_ >= 0) close(fd_);
}

bool ProfileLock::Retake(Mode mode, Clock::time_point deadline) {
    if (fd_ < 0) return false;
    flock(fd_, LOCK_UN);
    held_ = false;
    return Take(mode, deadline);
}

bool ProfileLock::Take(Mode mode, std::optional<Clock::time_point> deadline) {
    const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    if (deadline) {
        held_ = TakeBefore(operation, *deadline);
    } else {
        error_ = BlockingFlock(fd_, operation);
        held_ = error_ == 0;
    }
    if (held_) error_ = 0;
    return held_;
}

// Waits in the kernel, where a waiting reader stands in line with the
// writers that wait, never polling: writers coming back to back would take
// every turn from a poller. A helper thread waits, so that this one can give
// up at the deadline; the helper then closes the file, dropping the lock
// should it still come.
bool ProfileLock::TakeBefore(int operation, Clock::time_point deadline) {
    if (flock(fd_, operation | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK) {
        error_ = errno;
        return false;
    }
    const auto wait = std::make_shared<LockWait>();
    std::thread([wait, fd = fd_, operation] {
        const int error = BlockingFlock(fd, operation);
        const std::lock_guard<std::mutex> lock(wait->mutex);
        wait->finished = true;
        wait->error = error;
        if (wait->abandoned) close(fd);
        wait->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(wait->mutex);
    if (wait->done.wait_until(lock, deadline, [&wait] { return wait->finished; })) {
        error_ = wait->error;
        return error_ == 0;
    }
    wait->abandoned = true;
    fd_ = -1;
    error_ = EWOULDBLOCK;
    return false;
}

}  // namespace win32_profile
