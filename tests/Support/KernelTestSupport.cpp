#include "tests/Support/KernelTestSupport.h"

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace kernel_test {

int WaitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

namespace {

constexpr uid_t kNobody = 65534;

bool BecomeNobody(const fs::path& tree) {
    std::error_code ignored;
    if (lchown(tree.c_str(), kNobody, kNobody) != 0) return false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(tree, ignored))
        if (lchown(entry.path().c_str(), kNobody, kNobody) != 0) return false;
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

}  // namespace

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vantel-kernel-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

PrivateEnvironment::PrivateEnvironment(const fs::path& root) {
    const std::pair<const char*, fs::path> settings[] = {
        {"XDG_CONFIG_HOME", root / "config"}, {"XDG_RUNTIME_DIR", root / "runtime"}, {"HOME", root / "home"}};
    for (const auto& [name, value] : settings) {
        const char* old = std::getenv(name);
        if (old != nullptr)
            saved_.emplace_back(name, old);
        else
            unset_.emplace_back(name);
        fs::create_directories(value);
        setenv(name, value.c_str(), 1);
    }
}

PrivateEnvironment::~PrivateEnvironment() {
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : unset_) unsetenv(name.c_str());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> ListDirectory(const fs::path& directory) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

pid_t StartChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    return child;
}

int KillAfter(const std::function<int()>& body, std::chrono::microseconds moment) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t child = StartChild([&] { return write(ready[1], "r", 1) == 1 ? body() : 1; });
    char byte;
    const bool started = child > 0 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    close(ready[1]);
    if (!started) return -1;
    std::this_thread::sleep_for(moment);
    kill(child, SIGKILL);
    return WaitForChild(child);
}

int RunInChild(const std::function<int()>& body) {
    const pid_t child = StartChild(body);
    return child < 0 ? -1 : WaitForChild(child);
}

int RunAsOrdinaryUser(const fs::path& tree, const std::function<int()>& check) {
    return RunInChild([&] {
        if (geteuid() == 0 && !BecomeNobody(tree)) return 100;
        return check();
    });
}

}  // namespace kernel_test
