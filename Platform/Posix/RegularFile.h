// Reading the whole of a regular file of bounded size: the profile functions'
// files and the textures' bitmaps alike.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace posix {

struct RegularFileRead {
    int error = 0;       // 0, or the errno value of what failed
    bool found = false;  // something lies under the name; a failure came after that
    mode_t mode = 0;     // the file's permission bits, once known
};

// Reads the regular file at `path` into `bytes` when it holds at most `limit`
// bytes; `bytes` is left empty on failure. A directory, FIFO or device fails
// with EINVAL, a larger file (also one that grows past `limit` while it is
// read) with EFBIG, anything open, fstat or read refuse with their errno.
// Nothing but a regular file is opened, and opening never blocks, whatever
// lies under the name. With `links` Refuse, a symbolic link under the name
// itself fails with ELOOP instead of being followed.
enum class Links { Follow, Refuse };
RegularFileRead ReadRegularFile(const char* path, std::size_t limit, std::string* bytes,
                                Links links = Links::Follow);

}  // namespace posix
