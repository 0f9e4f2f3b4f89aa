// Helpers for the kernel stand-in's tests: private directories, whole-file
// reads and writes, and checks run in a child process as an ordinary user.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kernel_test {

// A fresh directory under the system's temporary directory, removed with
// everything in it (read-only parts included) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Points XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME into `root`, so a test
// never touches the real home, and puts them back when it goes.
class PrivateEnvironment {
public:
    explicit PrivateEnvironment(const std::filesystem::path& root);
    ~PrivateEnvironment();
    PrivateEnvironment(const PrivateEnvironment&) = delete;
    PrivateEnvironment& operator=(const PrivateEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::string>> saved_;
    std::vector<std::string> unset_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The names in a directory, sorted.
std::vector<std::string> ListDirectory(const std::filesystem::path& directory);

// Runs `check` in a forked child and gives its exit code (or 128 + signal).
// When the tests run as root, which ignores permission bits, the child first
// hands `tree` to the user nobody and becomes that user.
int RunAsOrdinaryUser(const std::filesystem::path& tree, const std::function<int()>& check);

// Runs `body` in a forked child and gives its exit code (or 128 + signal).
int RunInChild(const std::function<int()>& body);

// The same in two steps, for children that must run at the same time.
pid_t StartChild(const std::function<int()>& body);
int WaitForChild(pid_t child);

// Runs `body` in a forked child, kills it `moment` after it started and
// gives its exit code: 128 + SIGKILL when the kill ended it.
int KillAfter(const std::function<int()>& body, std::chrono::microseconds moment);

}  // namespace kernel_test
