#include "Platform/Win32/Profile/ProfileJournal.h"

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Platform/Posix/RegularFile.h"
#include "Platform/Win32/Profile/ProfileFile.h"
#include "Platform/Win32/Profile/ProfileText.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32_profile {
namespace {

// NUL-ended fields: the marker, the number of files, the profile's
// temporary, then each file's temporary and final path. Only a journal with
// every field was written whole.
constexpr std::string_view kJournalMarker = "profile-update";
constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 20;

std::optional<Journal> ParseJournal(std::string_view text) {
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        const std::size_t end = text.find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        fields.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (fields.size() < 3 || fields[0] != kJournalMarker ||
        fields[1] != std::to_string((fields.size() - 3) / 2) || (fields.size() - 3) % 2 != 0)
        return std::nullopt;
    Journal journal{std::string(fields[2]), {}};
    for (std::size_t i = 3; i < fields.size(); i += 2) journal.files.emplace_back(fields[i], fields[i + 1]);
    return journal;
}

bool SameDirectory(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// Absolute, and without "." or ".." or empty parts that would lead elsewhere
// than the text says.
bool IsPlainAbsolutePath(std::string_view path) {
    if (!path.starts_with('/') || path.size() < 2) return false;
    path.remove_prefix(1);
    for (;;) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        path.remove_prefix(slash + 1);
    }
}

// A regular file, not a link, or nothing, under the name.
bool RegularOrMissing(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT;
    return S_ISREG(status.st_mode);
}

// The values the update gives the profile: its temporary's while that is
// there, else the profile's own.
std::string UpdatedProfileText(const ProfileLocation& location, const Journal& journal) {
    ProfileFileText file = ReadProfileFile(location.directory + "/" + journal.profileTemporary);
    if (file.state != ProfileFileText::State::Present) file = ReadProfileFile(location.path);
    return file.text;
}

struct FileKey {
    std::string section;
    std::string key;
};
FileKey fileKey;

bool IsLiving(std::string_view pid) {
    const long number = std::strtol(std::string(pid).c_str(), nullptr, 10);
    // Beyond pid_t it would turn into -1, which kill() takes for everyone.
    return number > 0 && number < INT_MAX && (kill(static_cast<pid_t>(number), 0) == 0 || errno == EPERM);
}

// Whether the writer whose temporaries carry `pid` lives as `writer` says;
// while the gate is held shared, only one still writing its temporaries
// (the profile's there) may.
bool WriterAsKnown(std::string_view pid, JournalWriter writer, bool profileTemporaryThere) {
    const bool living = IsLiving(pid);
    switch (writer) {
        case JournalWriter::Gone:
            return !living;
        case JournalWriter::Committing:
            return living;
        case JournalWriter::Outside:
            return !living || profileTemporaryThere;
    }
    return false;
}

}  // namespace

bool NamedByFileKey(std::string_view text, const std::string& final) {
    if (fileKey.key.empty()) return false;
    const ProfileKeyPlace place = LocateProfileKey(text, fileKey.section, fileKey.key);
    if (!place.key) return false;
    return NamesFile(std::string(ProfileValue(text, *place.key)), final);
}

bool NamesFile(const std::string& value, const std::string& final) {
    if (value == final) return true;
    char* target = value.starts_with('/') ? realpath(value.c_str(), nullptr) : nullptr;
    const bool same = target != nullptr && final == target;
    free(target);
    return same;
}

namespace {

bool IsWritersOwn(const ProfileLocation& location, const Journal& journal, JournalWriter writer) {
    const std::string_view pid = TemporaryPidOf(journal.profileTemporary, location.baseName);
    const std::string profileTemporary = location.directory + "/" + journal.profileTemporary;
    struct stat status;
    if (pid.empty() || !RegularOrMissing(profileTemporary) ||
        !WriterAsKnown(pid, writer, lstat(profileTemporary.c_str(), &status) == 0))
        return false;
    const std::string values = UpdatedProfileText(location, journal);
    for (const auto& [temporary, final] : journal.files) {
        if (!IsPlainAbsolutePath(final) || !IsPlainAbsolutePath(temporary) ||
            DirectoryOf(temporary) != DirectoryOf(final) ||
            TemporaryPidOf(BaseNameOf(temporary), BaseNameOf(final)) != pid || !RegularOrMissing(final) ||
            !RegularOrMissing(temporary) || IsProfileOwnFile(location, final) ||
            !NamedByFileKey(values, final))
            return false;
    }
    return true;
}

// Under a name no other journal set aside holds, so that none is lost and
// any kind of file goes.
void SetAside(const std::string& journalPath, const std::string& why) {
    std::string aside = journalPath + ".set-aside";
    int error = 0;
    for (int attempt = 1;; ++attempt) {
        struct stat status;
        if (lstat(aside.c_str(), &status) != 0 && errno == ENOENT) {
            error = rename(journalPath.c_str(), aside.c_str()) == 0 ? 0 : errno;
            break;
        }
        if (attempt == 100) {
            error = EEXIST;
            break;
        }
        aside = journalPath + ".set-aside." + std::to_string(attempt);
    }
    if (error == 0) {
        std::fprintf(stderr, "%s: the journal %s %s: not obeyed, set aside as %s\n", Win32ProgramName(),
                     journalPath.c_str(), why.c_str(), aside.c_str());
    } else {
        std::fprintf(stderr, "%s: the journal %s %s: not obeyed, and not set aside (%s)\n",
                     Win32ProgramName(), journalPath.c_str(), why.c_str(), std::strerror(error));
    }
}

}  // namespace

std::string JournalPath(const ProfileLocation& location) {
    return location.directory + "/." + location.baseName + ".journal";
}

std::string JournalText(const Journal& journal) {
    std::string text;
    const auto field = [&text](std::string_view value) { text.append(value).push_back('\0'); };
    field(kJournalMarker);
    field(std::to_string(journal.files.size()));
    field(journal.profileTemporary);
    for (const auto& [temporary, final] : journal.files) {
        field(temporary);
        field(final);
    }
    return text;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

bool IsProfileOwnFile(const ProfileLocation& location, const std::string& path) {
    const std::string name = BaseNameOf(path);
    const bool ownName = name == location.baseName || name == "." + location.baseName + ".lock" ||
                         name == "." + location.baseName + ".journal";
    return ownName && SameDirectory(DirectoryOf(path), location.directory);
}

JournalRead ReadJournal(const ProfileLocation& location, JournalWriter writer) {
    const std::string journalPath = JournalPath(location);
    std::string text;
    const posix::RegularFileRead read =
        posix::ReadRegularFile(journalPath.c_str(), kMaxJournalBytes, &text, posix::Links::Refuse);
    if (read.error == ENOENT) return {};
    // The writer's own is a small regular file it may read: no other blocks
    // the saves after it.
    if (read.error != 0) {
        SetAside(journalPath, std::string("cannot be read (") + std::strerror(read.error) + ")");
        return {};
    }
    std::optional<Journal> journal = ParseJournal(text);
    if (journal && !IsWritersOwn(location, *journal, writer)) {
        SetAside(journalPath, "is not its writer's own");
        return {};
    }
    return {true, std::move(journal)};
}

}  // namespace win32_profile

void Win32SetProfileFileKey(const char* section, const char* key) {
    win32_profile::fileKey = {section != nullptr ? section : "", key != nullptr ? key : ""};
}
