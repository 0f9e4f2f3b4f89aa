// The journal of an update with files (ProfileUpdateFiles.h): what it holds,
// and the checks that keep whoever obeys it to the update's own files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Win32/Profile/ProfilePath.h"

namespace win32_profile {

struct Journal {
    std::string profileTemporary;                            // a name in the profile's directory
    std::vector<std::pair<std::string, std::string>> files;  // temporary, final: absolute paths
};

std::string JournalPath(const ProfileLocation& location);
std::string JournalText(const Journal& journal);

// The profile, its lock and its journal, which no file of an update may be.
bool IsProfileOwnFile(const ProfileLocation& location, const std::string& path);

// Whether the value that names an update's file (Win32SetProfileFileKey) in
// the profile `text` names the file `final`: as the value gives it, or, for
// a file that existed, the file its links lead to (PlanUpdateFiles names it
// so). Never while no such value is named.
bool NamedByFileKey(std::string_view text, const std::string& final);
// The same for a path given as `value`.
bool NamesFile(const std::string& value, const std::string& final);

std::string DirectoryOf(const std::string& path);
std::string BaseNameOf(const std::string& path);

// The journal beside the profile, as the next one to act on it finds it.
struct JournalRead {
    bool present = false;            // a journal lies beside the profile
    std::optional<Journal> journal;  // whole, and naming only its update's own files
};

// What the reader knows of the journal's writer, whose pid its temporaries
// carry: none lives while the lock is held exclusively (Gone); one is inside
// its commit while the gate is busy (Committing); while the gate is held
// shared, a living one is still writing its temporaries (Outside).
enum class JournalWriter { Gone, Committing, Outside };

// A journal is obeyed only as the writer's own: a regular file under its
// name (not a link), whole, its temporaries of the shape the writer makes,
// all with one pid, each beside the file it replaces and neither a link,
// that pid living or not as `writer` says, and its files exactly the one
// the updated profile's file key names. Any other, or one that cannot be
// read (too large, not a regular file), is renamed aside
// (".<name>.journal.set-aside"), with one line on standard error saying so,
// and reads as absent. A journal cut short reads as present without one.
JournalRead ReadJournal(const ProfileLocation& location, JournalWriter writer);

}  // namespace win32_profile
