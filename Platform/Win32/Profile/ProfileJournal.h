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

// Whether a value of the profile `text` names the file `final`: as the
// value gives it, or, for a file that existed, the file its links lead to
// (PlanUpdateFiles names it so).
bool NamedByValue(std::string_view text, const std::string& final);

std::string DirectoryOf(const std::string& path);
std::string BaseNameOf(const std::string& path);

// The journal beside the profile, as the next one to act on it finds it.
struct JournalRead {
    bool present = false;            // a journal lies beside the profile
    int error = 0;                   // errno of a journal that could not be read
    std::optional<Journal> journal;  // whole, and naming only its update's own files
};

// A whole journal that names anything but its update's own files (a
// temporary not of the shape the writer makes, or not beside the file it
// replaces, a link, a final file that is neither the profile nor one its
// values name) is never obeyed: it is renamed aside (".<name>.journal.set-aside"),
// with one line on standard error saying so, and reads as absent. A journal
// cut short reads as present without one.
JournalRead ReadJournal(const ProfileLocation& location);

}  // namespace win32_profile
