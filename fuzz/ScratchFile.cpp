#include "fuzz/ScratchFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vantel_fuzz {
namespace {

std::string ScratchBase() {
    if (const char* base = std::getenv("VANTEL_FUZZ_SCRATCH"); base != nullptr && base[0] == '/') return base;
    struct stat status;
    if (stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return "/tmp";
}

[[noreturn]] void Fail(const char* what, const std::string& path) {
    std::perror((std::string(what) + " " + path).c_str());
    std::abort();
}

void RemoveScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchDirectory(), ignored);
}

}  // namespace

const std::string& ScratchDirectory() {
    // Never destroyed, so that the clean-up at exit can still name it.
    static const std::string* const directory = [] {
        auto* path = new std::string(ScratchBase() + "/vantel-fuzz.XXXXXX");
        if (mkdtemp(path->data()) == nullptr) Fail("mkdtemp", *path);
        std::atexit(RemoveScratch);
        return path;
    }();
    return *directory;
}

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchDirectory() + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) Fail("open", path);
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) Fail("write", path);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    if (close(fd) != 0) Fail("close", path);
    return path;
}

}  // namespace vantel_fuzz
