// The calling thread's last error, as each stand-in function leaves it.
#include <cerrno>

#include "Platform/Win32/Kernel/KernelErrors.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

namespace win32_kernel {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOEXEC:
            return ERROR_BAD_FORMAT;
        case EFBIG:
            return ERROR_FILE_TOO_LARGE;
        default:
            return ERROR_GEN_FAILURE;
    }
}

}  // namespace win32_kernel
