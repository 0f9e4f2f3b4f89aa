// The lock that readers and writers of a profile take.
#pragma once

#include <chrono>
#include <optional>

#include "Platform/Win32/Profile/ProfilePath.h"

namespace win32_profile {

// A flock on the lock file beside the profile (".<name>.lock"): exclusive
// while one writer reads, edits and replaces the file, so that two writers
// cannot undo each other's changes; shared while readers take values and
// the files those values name, so that no writer changes them meanwhile.
class ProfileLock {
public:
    enum class Mode { Shared, Exclusive };
    using Clock = std::chrono::steady_clock;

    // Waits for the lock as long as it takes, or, given a deadline, until
    // then. Opening creates the lock file when it is missing.
    ProfileLock(const ProfileLocation& location, Mode mode, std::optional<Clock::time_point> deadline = {});
    ~ProfileLock();
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;

    bool held() const { return held_; }
    int error() const { return error_; }
    // Gives the lock up and takes it again in `mode`, waiting until the
    // deadline at most. Others may hold it in between.
    bool Retake(Mode mode, Clock::time_point deadline);

private:
    bool Take(Mode mode, std::optional<Clock::time_point> deadline);
    bool TakeBefore(int operation, Clock::time_point deadline);

    int fd_ = -1;
    bool held_ = false;
    int error_ = 0;
};

}  // namespace win32_profile
