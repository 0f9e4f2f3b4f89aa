#include "Settings/ProgramDirectory.h"

#include "Platform/Win32/Win32.h"

namespace vantel_settings {

std::string ProgramDirectory() {
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path that filled the buffer may have been cut.
    if (length == 0 || length >= sizeof path - 1) return {};
    std::string directory(path, length);
    const std::size_t slash = directory.rfind('/');
    if (slash == std::string::npos) return {};
    directory.resize(slash == 0 ? 1 : slash);
    return directory;
}

}  // namespace vantel_settings
