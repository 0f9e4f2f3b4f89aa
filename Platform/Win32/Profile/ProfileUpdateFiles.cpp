#include "Platform/Win32/Profile/ProfileUpdateFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "Platform/Posix/RegularFile.h"
#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileFault.h"
#include "Platform/Win32/Profile/ProfileFile.h"

namespace win32_kernel {
namespace {

std::chrono::microseconds commitPause{0};

// Journal: NUL-ended fields, the marker, the number of files, the profile's
// temporary (a name in the profile's directory), then each file's temporary
// and final path. Only a journal with every field was written whole.
constexpr std::string_view kJournalMarker = "profile-update";
constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 20;

struct Journal {
    std::string profileTemporary;
    std::vector<std::pair<std::string, std::string>> files;  // temporary, final
};

std::string JournalPath(const ProfileLocation& location) {
    return location.directory + "/." + location.baseName + ".journal";
}

std::string JournalText(const Journal& journal) {
    std::string text;
    const auto field = [&text](std::string_view value) { text.append(value).push_back('\0'); };
    field(kJournalMarker);
    field(std::to_string(journal.files.size()));
    field(journal.profileTemporary);
    for (const auto& [temporary, final] : journal.files) {
        field(temporary);
        field(final);
    }
    return text;
}

std::optional<Journal> ParseJournal(std::string_view text) {
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        const std::size_t end = text.find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        fields.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (fields.size() < 3 || fields[0] != kJournalMarker ||
        fields[1] != std::to_string((fields.size() - 3) / 2) || (fields.size() - 3) % 2 != 0)
        return std::nullopt;
    Journal journal{std::string(fields[2]), {}};
    for (std::size_t i = 3; i < fields.size(); i += 2) journal.files.emplace_back(fields[i], fields[i + 1]);
    return journal;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

bool SameDirectory(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The profile, its lock and its journal must not be overwritten by a file
// of the update.
bool IsProfileOwnFile(const ProfileLocation& location, const std::string& path) {
    const std::string name = BaseNameOf(path);
    const bool ownName = name == location.baseName || name == "." + location.baseName + ".lock" ||
                         name == "." + location.baseName + ".journal";
    return ownName && SameDirectory(DirectoryOf(path), location.directory);
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

void SetProfileCommitPause(std::chrono::microseconds pause) {
    commitPause = pause;
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

    // 2. The journal, on the disk before any file's temporary exists.
    const std::string journalPath = JournalPath(location);
    error = WriteNewFile(journalPath, JournalText(journal), 0600);
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

    // 4. The update happens here.
    if (rename(profileTemporary.c_str(), location.path.c_str()) != 0) {
        error = errno;
        undo();
        return FailedWrite(error, 0, location.path);
    }
    SyncDirectory(location.directory);
    if (commitPause.count() > 0) std::this_thread::sleep_for(commitPause);

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
    const std::string journalPath = JournalPath(location);
    std::string text;
    const posix::RegularFileRead read = posix::ReadRegularFile(journalPath.c_str(), kMaxJournalBytes, &text);
    if (read.error == ENOENT) return 0;
    if (read.error != 0) return read.error;
    // A journal cut short was being written: no file's temporary exists yet,
    // and the profile's is swept with the other stale ones.
    if (const std::optional<Journal> journal = ParseJournal(text)) {
        const std::string profileTemporary = location.directory + "/" + journal->profileTemporary;
        if (access(profileTemporary.c_str(), F_OK) == 0) {
            for (const auto& file : journal->files)
                if (unlink(file.first.c_str()) != 0 && errno != ENOENT) return errno;
        } else {
            RenameIntoPlace(*journal, nullptr);
        }
    }
    if (unlink(journalPath.c_str()) != 0 && errno != ENOENT) return errno;
    SyncDirectory(location.directory);
    return 0;
}

}  // namespace win32_kernel
