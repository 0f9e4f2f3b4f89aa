// Where a profile file name given to the profile functions lives on disk.
#pragma once

#include <optional>
#include <string>

namespace win32_kernel {

struct ProfileLocation {
    std::string path;       // the file itself
    std::string directory;  // the directory that holds it
    std::string baseName;   // the file's name inside `directory`
    bool configDirectory;   // a bare name: `directory` is ours to create
};

// A bare name lies in $XDG_CONFIG_HOME/vantel/ (default ~/.config/vantel/),
// the one place both programs meet whatever their working directory; a name
// with a '/' is used as it is. Empty when no location can be formed.
std::optional<ProfileLocation> ResolveProfilePath(const char* fileName);

}  // namespace win32_kernel
