// Published Win32 error codes the kernel stand-in reports, and the mapping
// from the errno values of the Linux calls behind it.
#pragma once

#include "Platform/Win32/Win32.h"

namespace win32_kernel {

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_NOT_OWNER = 288;

// The closest Win32 error for an errno value.
DWORD ErrorFromErrno(int error);

// The same for a failed ReadRegularFile, whose EINVAL says that what lies
// under the name is no regular file.
DWORD ErrorFromFileRead(int error);

// The same for a failed write, where EFBIG (a limit on the size of the
// writer's files) leaves no room for the file, as a full disk does.
DWORD ErrorFromFileWrite(int error);

}  // namespace win32_kernel
