#include "Platform/Win32/Profile/ProfileUpdateFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileCommitGate.h"
#include "Platform/Win32/Profile/ProfileFault.h"
#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileJournal.h"

using win32_kernel::ErrorFromErrno;
using win32_kernel::ErrorFromFileWrite;

namespace win32_profile {
namespace {

std::chrono::microseconds commitPause{0};
CommitPausePoint commitPausePoint = CommitPausePoint::AfterProfile;

void PauseAt(CommitPausePoint point) {
    if (commitPause.count() > 0 && point == commitPausePoint) std::this_thread::sleep_for(commitPause);
}

// Creating a file fails for its directory's sake (no permission, a read-only
// file system, a missing directory) or, writing it, for the file's own.
std::string RefusedBy(int error, const std::string& path) {
    const bool directory =
        error == EACCES || error == EPERM || error == EROFS || error == ENOENT || error == ENOTDIR;
    return directory ? DirectoryOf(path) : path;
}

void RemoveAll(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) unlink(path.c_str());
}

// Renames each file's temporary that is still there into place.
void RenameIntoPlace(const Journal& journal, std::optional<UpdateFailure>* failure) {
    std::vector<std::string> directories;
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        const auto& [temporary, final] = journal.files[i];
        if (rename(temporary.c_str(), final.c_str()) != 0 && errno != ENOENT) {
            if (failure && !*failure) *failure = UpdateFailure{ErrorFromErrno(errno), i + 1, final};
            unlink(temporary.c_str());
        }
        directories.push_back(DirectoryOf(final));
    }
    for (const std::string& directory : directories) SyncDirectory(directory);
}

}  // namespace

UpdateFailure FailedWrite(int error, std::size_t item, const std::string& path) {
    return UpdateFailure{ErrorFromFileWrite(error), item, RefusedBy(error, path)};
}

void SetProfileCommitPause(std::chrono::microseconds pause, CommitPausePoint point) {
    commitPause = pause;
    commitPausePoint = point;
}

UpdatePlan PlanUpdateFiles(const ProfileLocation& location, const std::vector<UpdateFile>& files) {
    UpdatePlan plan;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::size_t item = i + 1;
        const auto refuse = [&plan, item](DWORD error, const std::string& path) {
            plan.failure = UpdateFailure{error, item, path};
            return std::move(plan);
        };
        PlannedFile file{files[i].path, std::nullopt};
        struct stat status;
        if (stat(file.final.c_str(), &status) == 0) {
            if (!S_ISREG(status.st_mode)) return refuse(ERROR_BAD_FILE_TYPE, file.final);
            // rename() would replace a read-only file; its protection must hold.
            if (access(file.final.c_str(), W_OK) != 0) return refuse(ErrorFromErrno(errno), file.final);
            if (char* target = realpath(file.final.c_str(), nullptr)) {
                file.final = target;
                free(target);
            }
            file.mode = status.st_mode & 07777;
        }
        const std::string directory = DirectoryOf(file.final);
        if (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
            return refuse(ERROR_PATH_NOT_FOUND, directory);
        if (access(directory.c_str(), W_OK | X_OK) != 0) return refuse(ErrorFromErrno(errno), directory);
        if (IsProfileOwnFile(location, file.final)) return refuse(ERROR_INVALID_PARAMETER, file.final);
        plan.files.push_back(std::move(file));
    }
    return plan;
}

std::optional<UpdateFailure> CommitUpdate(const ProfileLocation& location, std::string_view text,
                                          std::optional<mode_t> mode, const std::vector<UpdateFile>& files,
                                          const std::vector<PlannedFile>& plan) {
    // 1. The profile's temporary, before the journal names it.
    Journal journal;
    std::string profileTemporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        profileTemporary = TemporaryPath(location.directory, location.baseName);
        error = WriteNewFile(profileTemporary, text, mode);
    }
    if (error != 0) return FailedWrite(error, 0, location.path);
    journal.profileTemporary = BaseNameOf(profileTemporary);
    for (const PlannedFile& file : plan)
        journal.files.emplace_back(TemporaryPath(DirectoryOf(file.final), BaseNameOf(file.final)),
                                   file.final);

    // 2. The journal, on the disk before any file's temporary exists. Whoever
    // may read the profile may read it: a reader that cannot make the update
    // happen reads the new files where it says.
    const std::string journalPath = JournalPath(location);
    error = WriteNewFile(journalPath, JournalText(journal), mode);
    if (error != 0) {
        unlink(profileTemporary.c_str());
        return FailedWrite(error, 0, location.path);
    }
    SyncDirectory(location.directory);

    // 3. The files' temporaries. Undoing goes in the order that keeps the
    // journal right at every step: temporaries, journal, the profile's.
    std::vector<std::string> written;
    const auto undo = [&] {
        RemoveAll(written);
        unlink(journalPath.c_str());
        unlink(profileTemporary.c_str());
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& temporary = journal.files[i].first;
        error = WriteNewFile(temporary, files[i].bytes, plan[i].mode);
        if (error != 0) {
            undo();
            return FailedWrite(error, i + 1, plan[i].final);
        }
        written.push_back(temporary);
    }

    // 4. The update happens here, behind the gate: from now on a reader that
    // cannot wait for us may make it happen, and the profile then holds our
    // text already.
    const CommitGate gate(location.directory, CommitGate::Mode::Exclusive);
    PauseAt(CommitPausePoint::BeforeProfile);
    if (rename(profileTemporary.c_str(), location.path.c_str()) != 0) {
        error = errno;
        if (error != ENOENT || ReadProfileFile(location.path).text != text) {
            undo();
            return FailedWrite(error, 0, location.path);
        }
    }
    SyncDirectory(location.directory);
    PauseAt(CommitPausePoint::AfterProfile);

    // 5. The files take their names; the journal has served.
    std::optional<UpdateFailure> failure;
    RenameIntoPlace(journal, &failure);
    unlink(journalPath.c_str());
    return failure;
}

bool HasInterruptedUpdate(const ProfileLocation& location) {
    return access(JournalPath(location).c_str(), F_OK) == 0;
}

int FinishInterruptedUpdate(const ProfileLocation& location) {
    const JournalRead read = ReadJournal(location, JournalWriter::Gone);
    if (!read.present) return 0;
    // A journal cut short was being written: no file's temporary exists yet,
    // and the profile's is swept with the other stale ones.
    if (read.journal) {
        const std::string profileTemporary = location.directory + "/" + read.journal->profileTemporary;
        if (access(profileTemporary.c_str(), F_OK) == 0) {
            for (const auto& file : read.journal->files)
                if (unlink(file.first.c_str()) != 0 && errno != ENOENT) return errno;
        } else {
            const CommitGate gate(location.directory, CommitGate::Mode::Exclusive);
            RenameIntoPlace(*read.journal, nullptr);
        }
    }
    if (unlink(JournalPath(location).c_str()) != 0 && errno != ENOENT) return errno;
    SyncDirectory(location.directory);
    return 0;
}

void FinishCommittedUpdate(const ProfileLocation& location) {
    const JournalRead read = ReadJournal(location, JournalWriter::Outside);
    if (!read.journal) return;
    const std::string profileTemporary = location.directory + "/" + read.journal->profileTemporary;
    if (access(profileTemporary.c_str(), F_OK) != 0 && errno == ENOENT)
        RenameIntoPlace(*read.journal, nullptr);
}

void MakeUpdateHappen(const ProfileLocation& location, const Journal& journal) {
    const std::string profileTemporary = location.directory + "/" + journal.profileTemporary;
    if (rename(profileTemporary.c_str(), location.path.c_str()) == 0) SyncDirectory(location.directory);
    RenameIntoPlace(journal, nullptr);
}

}  // namespace win32_profile
