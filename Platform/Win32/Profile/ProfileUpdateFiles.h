// Files that a profile update carries besides its values, so that values and
// files change as one: a reader that holds the profile's lock sees the old
// values with the old files or the new values with the new files.
//
// Under the writers' lock, each file is written beside its name, the profile
// is replaced, and only then do the files take their names. A journal beside
// the profile (".<name>.journal") names, while an update is under way, the
// profile's temporary file and each file's temporary and final name. The
// profile's replacement is the moment the update happens: before it the
// profile's temporary file exists, after it it does not. So whoever next
// holds the lock exclusively and finds a journal knows where a writer that
// died stopped: with the profile's temporary still there, the update never
// happened and its temporaries go; without it, the profile holds the new
// values and the files not yet renamed are renamed. Until then the lock's
// shared holders may meet new values beside old files, which is why readers
// finish such an update before they read (see ProfileReadLock.cpp). The
// journal is obeyed only where it names the update's own files
// (ProfileJournal.h).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Win32/Profile/ProfileJournal.h"
#include "Platform/Win32/Profile/ProfilePath.h"
#include "Platform/Win32/Win32.h"

namespace win32_profile {

struct UpdateFile {
    std::string path;  // absolute
    std::string bytes;
};

// What refused, and why.
struct UpdateFailure {
    DWORD error = 0;
    std::size_t item = 0;  // 0: the profile; n: the nth file of the update
    std::string refused;   // the file itself, or the directory that holds it
};

// A failed write of `path` (item as above): refused by the directory when
// the file could not be made in it, else by the file.
UpdateFailure FailedWrite(int error, std::size_t item, const std::string& path);

// Where each file goes and how: the checks before anything is written. A
// file must be missing in an existing directory we may write, or a regular
// file we may write (through a symbolic link: the file it names), and none
// of the profile's own files.
struct PlannedFile {
    std::string final;           // the name the file takes, links resolved
    std::optional<mode_t> mode;  // the permission bits it keeps; none for a new file
};
struct UpdatePlan {
    std::optional<UpdateFailure> failure;
    std::vector<PlannedFile> files;
};
UpdatePlan PlanUpdateFiles(const ProfileLocation& location, const std::vector<UpdateFile>& files);

// Replaces the profile with `text` (keeping `mode`, as ReplaceProfileFile)
// and each planned file with the bytes of its file, as one update. Under the
// exclusive lock, after FinishInterruptedUpdate. Before the profile is
// replaced, a failure leaves everything as it was and no temporary file; a
// file that cannot take its name after it (which the plan's checks make all
// but impossible) is reported.
std::optional<UpdateFailure> CommitUpdate(const ProfileLocation& location, std::string_view text,
                                          std::optional<mode_t> mode, const std::vector<UpdateFile>& files,
                                          const std::vector<PlannedFile>& plan);

// Finishes or undoes the update of a writer that died (see above). Under the
// exclusive lock. 0 when no journal is left, else the errno value of what
// failed.
int FinishInterruptedUpdate(const ProfileLocation& location);

// For a reader that could not have the profile's lock in time
// (ProfileReadLock.cpp). Holding the commit gate shared: finishes the update
// of a writer that died after replacing the profile; an update not yet made
// cannot be made until the gate is let go.
void FinishCommittedUpdate(const ProfileLocation& location);
// While the writer that wrote `journal` holds the commit gate: makes its
// update happen (the profile's temporary, then each file's, renamed into
// place, as that writer does; a temporary already gone was renamed).
void MakeUpdateHappen(const ProfileLocation& location, const Journal& journal);

// Where this thread's read (Win32BeginProfileRead) finds the new contents of
// `path`: the temporary of an update it could not make happen, while that
// is there, else `path` itself.
std::string FileToRead(const std::string& path);

// Whether a journal lies beside the profile.
bool HasInterruptedUpdate(const ProfileLocation& location);

}  // namespace win32_profile
