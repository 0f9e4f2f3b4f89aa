// Writing values into a profile (INI) file: under the writers' lock, read
// the file, edit the text, replace the file atomically. An update gathers
// several values, and files that go with them, into one replacement.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileEdit.h"
#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileJournal.h"
#include "Platform/Win32/Profile/ProfileLock.h"
#include "Platform/Win32/Profile/ProfileText.h"
#include "Platform/Win32/Profile/ProfileUpdateFiles.h"
#include "Platform/Win32/Win32Extensions.h"

using namespace win32_kernel;
using namespace win32_profile;

namespace {

struct ProfileSetting {
    std::string section;
    std::string key;
    std::string value;
};

// The update begun by Win32BeginProfileUpdate on this thread, if any.
struct PendingUpdate {
    std::string fileName;
    std::vector<ProfileSetting> settings;
    std::vector<UpdateFile> files;
    // A file that could not be added: without it the values must not go.
    std::optional<UpdateFailure> refusal;
};
thread_local std::optional<PendingUpdate> pending;

// What refused the last write of this thread, if it failed.
thread_local std::optional<UpdateFailure> lastFailure;

bool HoldsLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that would read back as other lines than the one written
// are refused: a line break would inject lines, a ']' would end the section
// name early, a '=' would split the key, and a key line starting with '[' or
// ';' would read as a section or a comment.
bool WritableSection(std::string_view section) {
    return !section.empty() && !HoldsLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool WritableKey(std::string_view key) {
    return !key.empty() && !HoldsLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != '[' && key.front() != ';';
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Succeed() {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL Refuse(UpdateFailure failure) {
    const DWORD error = failure.error;
    lastFailure = std::move(failure);
    return Fail(error);
}

// Sets every value in one replacement of the file, together with the files:
// all of them reach the disk, or on failure none, and all stays as it was.
BOOL WriteUpdate(LPCSTR fileName, const std::vector<ProfileSetting>& settings,
                 const std::vector<UpdateFile>& files) {
    lastFailure.reset();
    const std::optional<ProfileLocation> location = ResolveProfilePath(fileName);
    if (!location) return Refuse({ERROR_PATH_NOT_FOUND, 0, fileName != nullptr ? fileName : ""});
    const auto refuse = [&location](DWORD error, bool directory) {
        return Refuse({error, 0, directory ? location->directory : location->path});
    };
    if (location->configDirectory) {
        const int error = MakeProfileDirectory(location->directory);
        if (error != 0) return refuse(ErrorFromErrno(error), true);
    }

    // A file we may not read and write, and files that cannot be replaced,
    // are refused before the lock file is made, so that a refused write
    // leaves no trace; the checks under the lock below are the ones that
    // count.
    if (access(location->path.c_str(), R_OK | W_OK) != 0 && errno != ENOENT)
        return refuse(ErrorFromErrno(errno), false);
    if (UpdatePlan early = PlanUpdateFiles(*location, files); early.failure) return Refuse(*early.failure);

    const ProfileLock lock(*location, ProfileLock::Mode::Exclusive);
    if (!lock.held()) return refuse(ErrorFromErrno(lock.error()), true);
    // A writer that died half-way through an update is finished first: its
    // journal decides which of the temporary files swept below still count.
    if (const int error = FinishInterruptedUpdate(*location); error != 0)
        return refuse(ErrorFromErrno(error), true);
    RemoveStaleTemporaries(*location);
    const ProfileFileText file = ReadProfileFile(location->path);
    // A file that cannot be read must not be replaced by one holding only
    // these keys: that would lose every other setting.
    if (file.state == ProfileFileText::State::Unreadable) return refuse(ErrorFromFileRead(file.error), false);
    std::optional<mode_t> mode;
    if (file.state == ProfileFileText::State::Present) {
        // rename() would replace a read-only file; its mode bits must hold.
        if (access(location->path.c_str(), W_OK) != 0) return refuse(ErrorFromErrno(errno), false);
        mode = file.mode;
    }
    std::string edited = file.text;
    for (const ProfileSetting& setting : settings)
        edited = EditProfile(edited, setting.section, setting.key, setting.value);
    if (edited.size() > kMaxProfileBytes) return refuse(ERROR_FILE_TOO_LARGE, false);

    if (!files.empty()) {
        const UpdatePlan plan = PlanUpdateFiles(*location, files);
        if (plan.failure) return Refuse(*plan.failure);
        // Whoever finishes the update after a crash obeys its journal only for
        // the file its file key names.
        for (std::size_t i = 0; i < plan.files.size(); ++i)
            if (!NamedByFileKey(edited, plan.files[i].final))
                return Refuse({ERROR_INVALID_PARAMETER, i + 1, plan.files[i].final});
        if (std::optional<UpdateFailure> failure = CommitUpdate(*location, edited, mode, files, plan.files))
            return Refuse(std::move(*failure));
        return Succeed();
    }
    if (file.state == ProfileFileText::State::Present && edited == file.text) return Succeed();
    if (const int error = ReplaceProfileFile(*location, edited, mode); error != 0)
        return Refuse(FailedWrite(error, 0, location->path));
    return Succeed();
}

DWORD CopyOut(std::string_view text, LPSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

}  // namespace

// Removing keys or sections (a null key or value) is not offered: nothing
// above deletes settings, and such a call is refused rather than guessed at.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr || lpString == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    ProfileSetting setting{std::string(TrimProfileBlanks(lpAppName)),
                           std::string(TrimProfileBlanks(lpKeyName)), lpString};
    if (!WritableSection(setting.section) || !WritableKey(setting.key) || HoldsLineBreak(setting.value))
        return Fail(ERROR_INVALID_PARAMETER);
    if (pending && lpFileName != nullptr && pending->fileName == lpFileName) {
        pending->settings.push_back(std::move(setting));
        return Succeed();
    }
    return WriteUpdate(lpFileName, {setting}, {});
}

void Win32BeginProfileUpdate(LPCSTR lpFileName) {
    pending = PendingUpdate{lpFileName != nullptr ? lpFileName : "", {}, {}, {}};
}

BOOL Win32AddProfileUpdateFile(LPCSTR lpPath, LPCVOID lpBuffer, DWORD nSize) {
    if (!pending) return Fail(ERROR_INVALID_PARAMETER);
    std::string path(lpPath != nullptr ? lpPath : "");
    const auto refuse = [&path](DWORD error) {
        pending->refusal = UpdateFailure{error, pending->files.size() + 1, path};
        return Fail(error);
    };
    if (path.empty() || path.back() == '/' || (lpBuffer == nullptr && nSize != 0))
        return refuse(ERROR_INVALID_PARAMETER);
    // The journal must name it for any process, whatever its working directory.
    if (path.front() != '/') {
        char directory[4096];
        if (getcwd(directory, sizeof directory) == nullptr) return refuse(ErrorFromErrno(errno));
        path = std::string(directory) + "/" + path;
    }
    pending->files.push_back({std::move(path), std::string(static_cast<const char*>(lpBuffer), nSize)});
    return Succeed();
}

BOOL Win32EndProfileUpdate() {
    if (!pending) return Fail(ERROR_INVALID_PARAMETER);
    const PendingUpdate update = std::move(*pending);
    pending.reset();
    if (update.refusal) return Refuse(*update.refusal);
    if (update.settings.empty() && update.files.empty()) return Succeed();
    return WriteUpdate(update.fileName.c_str(), update.settings, update.files);
}

int Win32GetProfileUpdateFailure(LPSTR lpPath, DWORD nSize) {
    if (!lastFailure) {
        CopyOut("", lpPath, nSize);
        return -1;
    }
    CopyOut(lastFailure->refused, lpPath, nSize);
    return static_cast<int>(lastFailure->item);
}

DWORD Win32GetProfilePath(LPCSTR lpFileName, LPSTR lpBuffer, DWORD nSize) {
    const std::optional<ProfileLocation> location = ResolveProfilePath(lpFileName);
    if (!location) {
        CopyOut("", lpBuffer, nSize);
        return 0;
    }
    return CopyOut(location->path, lpBuffer, nSize);
}
