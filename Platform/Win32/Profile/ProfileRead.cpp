// Reading values from profile (INI) files. Every read loads the file afresh:
// the other program may have rewritten it in the meantime.
#include <climits>
#include <cstring>
#include <optional>
#include <string>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileText.h"
#include "Platform/Win32/Profile/ProfileUpdateFiles.h"

using namespace win32_kernel;
using namespace win32_profile;

namespace {

// The value of the key, or nothing when the file or the key is missing or
// the file cannot be read.
std::optional<std::string> ReadProfileValue(LPCSTR section, LPCSTR key, LPCSTR fileName) {
    if (section == nullptr || key == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    const std::optional<ProfileLocation> location = ResolveProfilePath(fileName);
    if (!location) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    // The source may take the profile's name as we read: then the profile is it.
    const std::string source = FileToRead(location->path);
    ProfileFileText file = ReadProfileFile(source);
    if (file.state == ProfileFileText::State::Missing && source != location->path)
        file = ReadProfileFile(location->path);
    if (file.state != ProfileFileText::State::Present) {
        SetLastError(ErrorFromFileRead(file.error));
        return std::nullopt;
    }
    const ProfileKeyPlace place =
        LocateProfileKey(file.text, TrimProfileBlanks(section), TrimProfileBlanks(key));
    if (!place.key) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    SetLastError(ERROR_SUCCESS);
    return std::string(ProfileValue(file.text, *place.key));
}

bool IsUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// How much of the text fits `capacity` bytes. A cut inside a UTF-8 character
// moves back to the character's start, so a path cut short stays valid text.
std::size_t FittingLength(std::string_view text, std::size_t capacity) {
    if (text.size() <= capacity) return text.size();
    std::size_t length = capacity;
    std::size_t start = length;
    while (start > 0 && length - start < 3 && IsUtf8Continuation(static_cast<unsigned char>(text[start])))
        --start;
    if (start < length && static_cast<unsigned char>(text[start]) >= 0xC0) length = start;
    return length;
}

// Leading decimal integer, held to the range of int.
int LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
    const std::optional<std::string> value = ReadProfileValue(lpAppName, lpKeyName, lpFileName);
    if (lpReturnedString == nullptr || nSize == 0) return 0;
    const std::string_view text =
        value ? std::string_view(*value) : std::string_view(lpDefault ? lpDefault : "");
    const std::size_t length = FittingLength(text, nSize - 1);
    std::memcpy(lpReturnedString, text.data(), length);
    lpReturnedString[length] = '\0';
    return static_cast<DWORD>(length);
}

UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault, LPCSTR lpFileName) {
    const std::optional<std::string> value = ReadProfileValue(lpAppName, lpKeyName, lpFileName);
    return static_cast<UINT>(value ? LeadingInteger(*value) : nDefault);
}
