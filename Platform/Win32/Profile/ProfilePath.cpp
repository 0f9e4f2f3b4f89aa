#include "Platform/Win32/Profile/ProfilePath.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "Platform/Win32/Win32Extensions.h"

namespace win32_profile {
namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::optional<std::string> HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) return std::string(home);
    const passwd* entry = getpwuid(getuid());
    if (entry != nullptr && IsAbsolute(entry->pw_dir)) return std::string(entry->pw_dir);
    return std::nullopt;
}

// Set by the program; empty until then.
std::string& ProfileFolder() {
    static std::string folder;
    return folder;
}

std::optional<std::string> ConfigDirectory() {
    const std::string& folder = ProfileFolder();
    if (folder.empty()) return std::nullopt;
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome)) return std::string(configHome) + "/" + folder;
    const std::optional<std::string> home = HomeDirectory();
    if (!home) return std::nullopt;
    return *home + "/.config/" + folder;
}

}  // namespace

std::optional<ProfileLocation> ResolveProfilePath(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return std::nullopt;
    const std::string name(fileName);
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) {
        const std::optional<std::string> directory = ConfigDirectory();
        if (!directory) return std::nullopt;
        return ProfileLocation{*directory + "/" + name, *directory, name, true};
    }
    if (slash + 1 == name.size()) return std::nullopt;
    const std::string directory = slash == 0 ? "/" : name.substr(0, slash);
    return ProfileLocation{name, directory, name.substr(slash + 1), false};
}

}  // namespace win32_profile

void Win32SetProfileFolder(const char* name) {
    win32_profile::ProfileFolder() = name != nullptr ? name : "";
}
