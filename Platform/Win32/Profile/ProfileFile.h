// Profile files on disk: bounded reading, atomic replacement.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Win32/Profile/ProfilePath.h"

namespace win32_profile {

// A profile holds a few hundred bytes. Anything beyond this is not one,
// and reading it whole would cost memory without bound: it counts as
// unreadable, and no write produces a file this large.
constexpr std::size_t kMaxProfileBytes = std::size_t{8} << 20;

struct ProfileFileText {
    enum class State { Present, Missing, Unreadable };
    State state = State::Missing;
    std::string text;
    mode_t mode = 0;  // permission bits of a present file
    int error = 0;    // errno for a missing or unreadable file
};

// Reads a regular file of at most kMaxProfileBytes. Anything else (a
// directory, a FIFO, a device, a file without read permission) is unreadable.
ProfileFileText ReadProfileFile(const std::string& path);

// Creates the directory and its missing parents. 0 or an errno value.
int MakeProfileDirectory(const std::string& directory);

// Removes the temporary files that writers killed half-way left beside the
// profile. Only under the lock (ProfileLock.h), shared or exclusive: every
// living writer holds it exclusively while it has one, so none found then is
// a living writer's, whatever its pid.
void RemoveStaleTemporaries(const ProfileLocation& location);

// A name for a new temporary file beside `baseName` in `directory`:
// ".<baseName>.<pid>.<counter>.tmp", a name no other living process makes.
std::string TemporaryPath(const std::string& directory, const std::string& baseName);

// Whether `name` (no directory) has the shape TemporaryPath gives `baseName`.
bool IsTemporaryNameOf(std::string_view name, std::string_view baseName);
// The pid such a name carries, as its text; empty for any other name.
std::string_view TemporaryPidOf(std::string_view name, std::string_view baseName);

// Creates the file `path`, which must not exist yet, with `bytes`, flushed
// to the disk, and the permission bits `mode` (for none, 0666 less the
// umask). 0 or an errno value; on failure nothing is left under `path`.
int WriteNewFile(const std::string& path, std::string_view bytes, std::optional<mode_t> mode);

// Makes the renames and removals made in `directory` durable.
void SyncDirectory(const std::string& directory);

// Writes the text to a new file in the profile's directory, flushes it to the
// disk and renames it over the profile, so readers see the old or the new
// file and never a part of one. The new file keeps the permission bits of the
// file it replaces (`mode`), or, for a new file, 0666 less the umask.
// 0 or an errno value; on failure the profile is untouched and no temporary
// file is left.
int ReplaceProfileFile(const ProfileLocation& location, std::string_view text, std::optional<mode_t> mode);

}  // namespace win32_profile
