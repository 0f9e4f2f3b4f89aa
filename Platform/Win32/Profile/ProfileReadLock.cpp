// Readers that take values from a profile together with the files those
// values name hold the profile's lock shared meanwhile, so that an update
// with files (ProfileUpdateFiles.h) happens wholly before or after them.
// A reader waits a bounded time: a program starting up must not hang on a
// writer, however long that writer stalls.
//
// A reader the wait ran out for still gets one update's files, through the
// commit gate (ProfileCommitGate.h). When it can hold the gate shared, no
// update can happen until it is done: what lies in place is one update's,
// once an update whose writer died after replacing the profile is finished.
// When the gate is busy, a writer is inside its commit with every file
// written and the journal naming them, past anything it could still decide:
// the reader makes that update happen itself (the profile's temporary and
// then each file's temporary renamed into place, as the writer does; the
// writer then finds its renames done), and reads the new values with the
// new files. No other update can begin before that writer lets go of the
// lock. The journal counts only when the gate is still busy once it has
// been read: the writer that read it busy may have finished meanwhile and
// another be writing its files, whose update must not happen early; and a
// journal of a writer since finished names only temporaries already gone.
// A reader that may not rename (another user's) leaves that update unmade
// and reads each of its files where the journal says the new one lies
// (Win32GetProfileFileToRead), the profile included.
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Platform/Win32/Profile/ProfileCommitGate.h"
#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileJournal.h"
#include "Platform/Win32/Profile/ProfileLock.h"
#include "Platform/Win32/Profile/ProfileUpdateFiles.h"
#include "Platform/Win32/Win32Extensions.h"

using namespace win32_profile;

namespace {

thread_local std::unique_ptr<ProfileLock> readLock;
thread_local std::unique_ptr<CommitGate> readGate;
// The update this reader could not make happen: final name, new contents.
thread_local std::vector<std::pair<std::string, std::string>> unmade;

void NoteUnmadeUpdate(const ProfileLocation& location, const Journal& journal) {
    const std::string profileTemporary = location.directory + "/" + journal.profileTemporary;
    if (access(profileTemporary.c_str(), F_OK) == 0) unmade.emplace_back(location.path, profileTemporary);
    for (const auto& [temporary, final] : journal.files)
        if (access(temporary.c_str(), F_OK) == 0) unmade.emplace_back(final, temporary);
}

// How often the gate may turn from one writer to the next while a reader
// looks, before it reads what lies in place.
constexpr int kGateTurns = 100;

BOOL ReadWithoutLock(const ProfileLocation& location) {
    for (int turn = 0; turn < kGateTurns; ++turn) {
        auto gate = std::make_unique<CommitGate>(location.directory, CommitGate::Mode::Shared);
        if (!gate->busy()) {
            if (!gate->held()) return FALSE;
            FinishCommittedUpdate(location);
            readGate = std::move(gate);
            return FALSE;
        }
        const JournalRead read = ReadJournal(location, JournalWriter::Committing);
        gate = std::make_unique<CommitGate>(location.directory, CommitGate::Mode::Shared);
        if (gate->busy() && read.journal) {
            MakeUpdateHappen(location, *read.journal);
            NoteUnmadeUpdate(location, *read.journal);
            return FALSE;
        }
        // Busy without a journal: a writer between removing its journal and
        // letting go of the gate. Held now: the journal read may be older
        // than the gate's last turn, so the look starts over.
        std::this_thread::yield();
    }
    return FALSE;
}

}  // namespace

namespace win32_profile {

std::string FileToRead(const std::string& path) {
    for (const auto& [final, temporary] : unmade)
        if (NamesFile(path, final) && access(temporary.c_str(), F_OK) == 0) return temporary;
    return path;
}

}  // namespace win32_profile

BOOL Win32BeginProfileRead(LPCSTR lpFileName, DWORD dwMilliseconds) {
    readLock.reset();
    readGate.reset();
    unmade.clear();
    const std::optional<ProfileLocation> location = ResolveProfilePath(lpFileName);
    if (!location) return FALSE;
    const auto deadline = ProfileLock::Clock::now() + std::chrono::milliseconds(dwMilliseconds);
    auto lock = std::make_unique<ProfileLock>(*location, ProfileLock::Mode::Shared, deadline);
    if (!lock->held()) return ReadWithoutLock(*location);
    // A writer died between replacing the profile and renaming its files:
    // finishing its update needs the lock to ourselves.
    if (HasInterruptedUpdate(*location)) {
        if (!lock->Retake(ProfileLock::Mode::Exclusive, deadline)) return ReadWithoutLock(*location);
        if (FinishInterruptedUpdate(*location) != 0) {
            readLock = std::move(lock);
            return TRUE;
        }
    }
    // No writer lives while we hold the lock: what a killed one left goes.
    RemoveStaleTemporaries(*location);
    readLock = std::move(lock);
    return TRUE;
}

void Win32EndProfileRead() {
    readLock.reset();
    readGate.reset();
    unmade.clear();
}

DWORD Win32GetProfileFileToRead(LPCSTR lpPath, LPSTR lpBuffer, DWORD nSize) {
    const std::string path = FileToRead(lpPath != nullptr ? lpPath : "");
    if (lpBuffer == nullptr || nSize == 0 || path.size() >= nSize) return 0;
    path.copy(lpBuffer, path.size());
    lpBuffer[path.size()] = '\0';
    return static_cast<DWORD>(path.size());
}
