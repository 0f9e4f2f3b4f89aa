// The published Win32 error codes (Win32.h) for the errno values of the
// Linux calls behind the kernel stand-in.
#pragma once

#include "Platform/Win32/Win32.h"

namespace win32_kernel {

// The closest Win32 error for an errno value.
DWORD ErrorFromErrno(int error);

// The same for a failed ReadRegularFile, whose EINVAL says that what lies
// under the name is no regular file.
DWORD ErrorFromFileRead(int error);

// The same for a failed write, where EFBIG (a limit on the size of the
// writer's files) leaves no room for the file, as a full disk does.
DWORD ErrorFromFileWrite(int error);

}  // namespace win32_kernel
