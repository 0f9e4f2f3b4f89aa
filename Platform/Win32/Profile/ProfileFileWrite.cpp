#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>

#include "Platform/Win32/Profile/ProfileFile.h"

namespace win32_profile {
namespace {

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

constexpr std::string_view kTemporarySuffix = ".tmp";

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string_view TemporaryPidOf(std::string_view name, std::string_view baseName) {
    if (baseName.empty() || baseName.find('/') != std::string_view::npos || !name.starts_with('.')) return {};
    name.remove_prefix(1);
    if (name.size() < baseName.size() + kTemporarySuffix.size() || !name.starts_with(baseName) ||
        !name.ends_with(kTemporarySuffix))
        return {};
    name.remove_prefix(baseName.size());
    name.remove_suffix(kTemporarySuffix.size());
    if (!name.starts_with('.')) return {};
    name.remove_prefix(1);
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos || !AllDigits(name.substr(0, dot)) || !AllDigits(name.substr(dot + 1)))
        return {};
    return name.substr(0, dot);
}

bool IsTemporaryNameOf(std::string_view name, std::string_view baseName) {
    return !TemporaryPidOf(name, baseName).empty();
}

std::string TemporaryPath(const std::string& directory, const std::string& baseName) {
    static std::atomic<unsigned> counter{0};
    return directory + "/." + baseName + "." + std::to_string(getpid()) + "." + std::to_string(counter++) +
           std::string(kTemporarySuffix);
}

int WriteNewFile(const std::string& path, std::string_view bytes, std::optional<mode_t> mode) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode.value_or(0666));
    if (fd < 0) return errno;
    // The umask trims the mode of a new file; a replaced file keeps its own.
    int error = mode && fchmod(fd, *mode) != 0 ? errno : 0;
    if (error == 0) error = WriteAll(fd, bytes);
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) unlink(path.c_str());
    return error;
}

// The rename is durable only once the directory itself is on the disk.
void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int MakeProfileDirectory(const std::string& directory) {
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string prefix = directory.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat status;
    if (stat(directory.c_str(), &status) != 0) return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

void RemoveStaleTemporaries(const ProfileLocation& location) {
    DIR* directory = opendir(location.directory.c_str());
    if (directory == nullptr) return;
    while (const dirent* entry = readdir(directory)) {
        if (IsTemporaryNameOf(entry->d_name, location.baseName)) unlinkat(dirfd(directory), entry->d_name, 0);
    }
    closedir(directory);
}

int ReplaceProfileFile(const ProfileLocation& location, std::string_view text, std::optional<mode_t> mode) {
    std::string temporary;
    int error = EEXIST;
    // A name that is taken was nobody's temporary of ours: take the next.
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = TemporaryPath(location.directory, location.baseName);
        error = WriteNewFile(temporary, text, mode);
    }
    if (error != 0) return error;
    if (rename(temporary.c_str(), location.path.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        return error;
    }
    SyncDirectory(location.directory);
    return 0;
}

}  // namespace win32_profile
