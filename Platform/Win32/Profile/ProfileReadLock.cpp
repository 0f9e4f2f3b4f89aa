// Readers that take values from a profile together with the files those
// values name hold the profile's lock shared meanwhile, so that an update
// with files (ProfileUpdateFiles.h) happens wholly before or after them.
// A reader waits a bounded time: a program starting up must not hang on a
// writer, and reading without the lock is what it did before there was one.
#include <memory>
#include <optional>

#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileLock.h"
#include "Platform/Win32/Profile/ProfileUpdateFiles.h"
#include "Platform/Win32/Win32Extensions.h"

using namespace win32_kernel;

namespace {

thread_local std::unique_ptr<ProfileLock> readLock;

}  // namespace

BOOL Win32BeginProfileRead(LPCSTR lpFileName, DWORD dwMilliseconds) {
    readLock.reset();
    const std::optional<ProfileLocation> location = ResolveProfilePath(lpFileName);
    if (!location) return FALSE;
    const auto deadline = ProfileLock::Clock::now() + std::chrono::milliseconds(dwMilliseconds);
    auto lock = std::make_unique<ProfileLock>(*location, ProfileLock::Mode::Shared, deadline);
    if (!lock->held()) return FALSE;
    // A writer died between replacing the profile and renaming its files:
    // finishing its update needs the lock to ourselves.
    if (HasInterruptedUpdate(*location)) {
        if (!lock->Retake(ProfileLock::Mode::Exclusive, deadline)) return FALSE;
        FinishInterruptedUpdate(*location);
    }
    readLock = std::move(lock);
    return TRUE;
}

void Win32EndProfileRead() {
    readLock.reset();
}
