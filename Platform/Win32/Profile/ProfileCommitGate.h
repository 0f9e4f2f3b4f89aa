// The moment an update with files happens, fenced off from the readers that
// could not have the profile's lock in time (see ProfileReadLock.cpp).
#pragma once

#include <string>

namespace win32_profile {

// A flock on the profile's directory, apart from the profile's lock: held
// exclusively by whoever replaces the profile of an update with files and
// renames its files into place, from the moment all its temporary files are
// written until its journal is gone; held shared by such a reader while it
// reads. So a holder of the exclusive gate has nothing left to decide: anyone
// may make its update happen for it, and it finds that done.
class CommitGate {
public:
    enum class Mode { Shared, Exclusive };
    // Exclusive waits as long as readers read; shared never waits.
    CommitGate(const std::string& directory, Mode mode);
    ~CommitGate();
    CommitGate(const CommitGate&) = delete;
    CommitGate& operator=(const CommitGate&) = delete;

    // Not held: shared, a commit is under way; exclusive, the directory
    // cannot be opened or locked, and the commit goes on without the fence.
    bool held() const { return held_; }
    // Shared, not held because a commit is under way.
    bool busy() const { return busy_; }

private:
    int fd_ = -1;
    bool held_ = false;
    bool busy_ = false;
};

}  // namespace win32_profile
