#include <cerrno>

#include "Platform/Posix/RegularFile.h"
#include "Platform/Win32/Profile/ProfileFile.h"

namespace win32_profile {

ProfileFileText ReadProfileFile(const std::string& path) {
    ProfileFileText result;
    const posix::RegularFileRead read = posix::ReadRegularFile(path.c_str(), kMaxProfileBytes, &result.text);
    if (read.error != 0) {
        const bool missing = read.error == ENOENT || read.error == ENOTDIR;
        result.state = missing ? ProfileFileText::State::Missing : ProfileFileText::State::Unreadable;
        result.error = read.error;
        return result;
    }
    result.state = ProfileFileText::State::Present;
    result.mode = read.mode;
    return result;
}

}  // namespace win32_profile
