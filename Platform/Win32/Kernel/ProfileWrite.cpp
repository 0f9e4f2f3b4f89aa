// Writing one value into a profile (INI) file: under the writers' lock, read
// the file, edit the text, replace the file atomically.
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Kernel/ProfileEdit.h"
#include "Platform/Win32/Kernel/ProfileFile.h"
#include "Platform/Win32/Kernel/ProfileText.h"

using namespace win32_kernel;

namespace {

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

}  // namespace

// Removing keys or sections (a null key or value) is not offered: nothing
// above deletes settings, and such a call is refused rather than guessed at.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr || lpString == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string_view section = TrimProfileBlanks(lpAppName);
    const std::string_view key = TrimProfileBlanks(lpKeyName);
    const std::string_view value = lpString;
    if (!WritableSection(section) || !WritableKey(key) || HoldsLineBreak(value))
        return Fail(ERROR_INVALID_PARAMETER);
    const std::optional<ProfileLocation> location = ResolveProfilePath(lpFileName);
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
    const ProfileFileText file = ReadProfileFile(location->path);
    // A file that cannot be read must not be replaced by one holding only
    // this key: that would lose every other setting.
    if (file.state == ProfileFileText::State::Unreadable) return Fail(ErrorFromErrno(file.error));
    std::optional<mode_t> mode;
    if (file.state == ProfileFileText::State::Present) {
        // rename() would replace a read-only file; its mode bits must hold.
        if (access(location->path.c_str(), W_OK) != 0) return Fail(ErrorFromErrno(errno));
        mode = file.mode;
    }
    const std::string edited = EditProfile(file.text, section, key, value);
    if (edited.size() > kMaxProfileBytes) return Fail(ERROR_FILE_TOO_LARGE);
    if (file.state == ProfileFileText::State::Present && edited == file.text) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    const int error = ReplaceProfileFile(*location, edited, mode);
    if (error != 0) return Fail(ErrorFromErrno(error));
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
