// Where a profile file name given to the profile functions lives on disk.
#pragma once

#include <optional>
#include <string>

#include "Platform/Win32/Win32Extensions.h"

namespace win32_profile {

struct ProfileLocation {
    std::string path;       // the file itself
    std::string directory;  // the directory that holds it
    std::string baseName;   // the file's name inside `directory`
    bool configDirectory;   // a bare name: `directory` is ours to create
};

// A bare name lies in the folder the program named (Win32SetProfileFolder)
// under $XDG_CONFIG_HOME (default ~/.config/), the same place whatever the
// working directory; a name with a '/' is used as it is. Empty when no
// location can be formed, a bare name's before the folder is named.
std::optional<ProfileLocation> ResolveProfilePath(const char* fileName);

}  // namespace win32_profile
