// Where named mutexes keep their lock files: a directory of ours that no other
// user can write to, so that nobody else can take, plant, replace or remove a
// lock of ours.
#pragma once

#include <string>

namespace posix {

struct LockDirectory {
    int fd = -1;       // the open directory; -1 when none could be had
    std::string path;  // where it lies, or where one was wanted
    int error = 0;     // the errno value of what failed, when fd is -1
};

// The first of these that is a directory owned by us, writable and
// searchable by us and writable by no one else: $XDG_RUNTIME_DIR, then
// /run/user/<uid>. Else <tmp>/<program>-<uid> ($TMPDIR or /tmp; `program`
// names the running program), made when missing and never
// followed through a link. When another user holds that name, a directory
// of our own beside it, <tmp>/<program>-<uid>.XXXXXX: the one whose name
// sorts first, made when there is none, so every copy that looks finds the
// same one.
LockDirectory OpenLockDirectory(const std::string& program);

}  // namespace posix
