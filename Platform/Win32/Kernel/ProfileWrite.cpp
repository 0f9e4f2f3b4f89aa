// Writing values into a profile (INI) file: under the writers' lock, read
// the file, edit the text, replace the file atomically. An update gathers
// several values into one replacement.
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Kernel/ProfileEdit.h"
#include "Platform/Win32/Kernel/ProfileFile.h"
#include "Platform/Win32/Kernel/ProfileText.h"

using namespace win32_kernel;

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
};
thread_local std::optional<PendingUpdate> pending;

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

// Sets every value in one replacement of the file: all of them reach it, or
// on failure none, and the file stays as it was.
BOOL WriteSettings(LPCSTR fileName, const std::vector<ProfileSetting>& settings) {
    const std::optional<ProfileLocation> location = ResolveProfilePath(fileName);
    if (!location) return Fail(ERROR_PATH_NOT_FOUND);
    if (location->configDirectory) {
        const int error = MakeProfileDirectory(location->directory);
        if (error != 0) return Fail(ErrorFromErrno(error));
    }

    // A file we may not read and write is refused before the lock file is
    // made, so that a refused write leaves no trace; the checks under the
    // lock below are the ones that count.
    if (access(location->path.c_str(), R_OK | W_OK) != 0 && errno != ENOENT)
        return Fail(ErrorFromErrno(errno));

    const ProfileWriteLock lock(*location);
    if (!lock.held()) return Fail(ErrorFromErrno(lock.error()));
    RemoveStaleTemporaries(*location);
    const ProfileFileText file = ReadProfileFile(location->path);
    // A file that cannot be read must not be replaced by one holding only
    // these keys: that would lose every other setting.
    if (file.state == ProfileFileText::State::Unreadable) return Fail(ErrorFromErrno(file.error));
    std::optional<mode_t> mode;
    if (file.state == ProfileFileText::State::Present) {
        // rename() would replace a read-only file; its mode bits must hold.
        if (access(location->path.c_str(), W_OK) != 0) return Fail(ErrorFromErrno(errno));
        mode = file.mode;
    }
    std::string edited = file.text;
    for (const ProfileSetting& setting : settings)
        edited = EditProfile(edited, setting.section, setting.key, setting.value);
    if (edited.size() > kMaxProfileBytes) return Fail(ERROR_FILE_TOO_LARGE);
    if (file.state == ProfileFileText::State::Present && edited == file.text) return Succeed();
    const int error = ReplaceProfileFile(*location, edited, mode);
    if (error != 0) return Fail(ErrorFromErrno(error));
    return Succeed();
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
    return WriteSettings(lpFileName, {setting});
}

void Win32BeginProfileUpdate(LPCSTR lpFileName) {
    pending = PendingUpdate{lpFileName != nullptr ? lpFileName : "", {}};
}

BOOL Win32EndProfileUpdate() {
    if (!pending) return Fail(ERROR_INVALID_PARAMETER);
    const PendingUpdate update = std::move(*pending);
    pending.reset();
    if (update.settings.empty()) return Succeed();
    return WriteSettings(update.fileName.c_str(), update.settings);
}
