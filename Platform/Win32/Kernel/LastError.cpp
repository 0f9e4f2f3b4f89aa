// The calling thread's last error, as each stand-in function leaves it, and
// the descriptions of the error codes.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "Platform/Win32/Kernel/KernelErrors.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

using namespace win32_kernel;

struct ErrnoMeaning {
    DWORD code;
    int errnoValue;
};

// The errno values each code reports. The first pair of a code also gives
// its description, which is the C library's text for that errno value.
constexpr ErrnoMeaning kErrnoCodes[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOTDIR}, {ERROR_PATH_NOT_FOUND, ENAMETOOLONG},
    {ERROR_PATH_NOT_FOUND, ELOOP},  {ERROR_ACCESS_DENIED, EACCES},   {ERROR_ACCESS_DENIED, EPERM},
    {ERROR_ACCESS_DENIED, EROFS},   {ERROR_ACCESS_DENIED, EISDIR},   {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_BAD_FORMAT, ENOEXEC},    {ERROR_FILE_TOO_LARGE, EFBIG},   {ERROR_DISK_FULL, ENOSPC},
    {ERROR_DISK_FULL, EDQUOT},      {ERROR_GEN_FAILURE, EIO},
};

// Codes the stand-in reports for reasons of its own, described by the
// errno value closest in meaning.
constexpr ErrnoMeaning kOtherCodes[] = {
    {ERROR_INVALID_HANDLE, EBADF}, {ERROR_INVALID_PARAMETER, EINVAL}, {ERROR_INSUFFICIENT_BUFFER, ERANGE},
    {ERROR_NOT_OWNER, EPERM},      {ERROR_ALREADY_EXISTS, EEXIST},    {ERROR_BAD_FILE_TYPE, EINVAL},
};

int DescribingErrno(DWORD code) {
    for (const ErrnoMeaning& meaning : kErrnoCodes)
        if (meaning.code == code) return meaning.errnoValue;
    for (const ErrnoMeaning& meaning : kOtherCodes)
        if (meaning.code == code) return meaning.errnoValue;
    return 0;
}

}  // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

DWORD FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize,
                     va_list*) {
    const int errnoValue = DescribingErrno(dwMessageId);
    if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || errnoValue == 0 || lpBuffer == nullptr || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char text[256];
    const std::string_view description = strerror_r(errnoValue, text, sizeof text);
    const std::size_t length = std::min<std::size_t>(description.size(), nSize - 1);
    std::memcpy(lpBuffer, description.data(), length);
    lpBuffer[length] = '\0';
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(length);
}

namespace win32_kernel {

DWORD ErrorFromErrno(int error) {
    if (error == 0) return ERROR_SUCCESS;
    for (const ErrnoMeaning& meaning : kErrnoCodes)
        if (meaning.errnoValue == error) return meaning.code;
    return ERROR_GEN_FAILURE;
}

DWORD ErrorFromFileRead(int error) {
    return error == EINVAL ? ERROR_BAD_FILE_TYPE : ErrorFromErrno(error);
}

DWORD ErrorFromFileWrite(int error) {
    return error == EFBIG ? ERROR_DISK_FULL : ErrorFromErrno(error);
}

}  // namespace win32_kernel
