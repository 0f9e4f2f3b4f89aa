// Where a lock file may lie, and that it goes with the process however a
// signal ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

using kernel_test::PrivateEnvironment;
using kernel_test::RunInChild;
using kernel_test::TempDir;
namespace fs = std::filesystem;

namespace {

constexpr char kName[] = "Deepdrift-:0";
constexpr uid_t kNobody = 65534;

std::string LockFile() {
    return std::string(kName) + ".lock";
}

fs::path OwnTemporaryDirectory(const fs::path& tmp) {
    return tmp / (fs::read_symlink("/proc/self/exe").filename().string() + "-" + std::to_string(geteuid()));
}

// Root may write into any directory; it must still take none of another
// user's, where that user could take the lock away or plant one.
TEST(LockPlaceTest, ARuntimeDirectoryOfAnotherUserIsPassedOver) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can hand a directory to another user";
    TempDir tree;
    const fs::path runtime = tree.path() / "runtime";
    const fs::path tmp = tree.path() / "tmp";
    fs::create_directories(runtime);
    fs::create_directories(tmp);
    ASSERT_EQ(chown(runtime.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(runtime.c_str(), 0700), 0);
    const int result = RunInChild([&] {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("TMPDIR", tmp.c_str(), 1);
        if (CreateMutexA(nullptr, TRUE, kName) == nullptr) return 10;
        if (fs::exists(runtime / LockFile())) return 11;
        return fs::exists(OwnTemporaryDirectory(tmp) / LockFile()) || fs::exists("/run/user/0/" + LockFile())
                   ? 0
                   : 12;
    });
    EXPECT_EQ(result, 0);
}

// Whoever put the link there chose where it leads.
TEST(LockPlaceTest, ALinkWhereTheTemporaryLockDirectoryBelongsIsNotFollowed) {
    TempDir tree;
    const fs::path tmp = tree.path() / "tmp";
    const fs::path target = tree.path() / "elsewhere";
    fs::create_directories(tmp);
    fs::create_directory(target);
    fs::permissions(target, fs::perms::owner_all);
    fs::create_directory_symlink(target, OwnTemporaryDirectory(tmp));
    if (fs::exists("/run/user/" + std::to_string(geteuid())))
        GTEST_SKIP() << "the session's directory takes the lock";
    const int result = RunInChild([&] {
        setenv("XDG_RUNTIME_DIR", (tree.path() / "missing").c_str(), 1);
        setenv("TMPDIR", tmp.c_str(), 1);
        if (CreateMutexA(nullptr, TRUE, kName) == nullptr) return 10;
        if (!fs::is_empty(target)) return 11;
        for (const fs::directory_entry& entry : fs::directory_iterator(tmp))
            if (!entry.is_symlink() && fs::exists(entry.path() / LockFile())) return 0;
        return 12;
    });
    EXPECT_EQ(result, 0);
}

// The core file a child ending by SIGQUIT may write, in `directory`: core
// files are kept under a plain name there, and the child may write one of a
// page (a core cut short still counts as dumped). False where the system
// hands cores to a program or the limit cannot be raised.
bool KeepsACoreIn(const fs::path& directory) {
    const std::string pattern = kernel_test::ReadFile("/proc/sys/kernel/core_pattern");
    if (pattern.empty() || pattern[0] == '|' || pattern.find('/') != std::string::npos) return false;
    const rlimit page{4096, 4096};
    return chdir(directory.c_str()) == 0 && setrlimit(RLIMIT_CORE, &page) == 0;
}

// SIGTERM ends the program with its exit code; the others by the signal, as
// they would without our handlers, SIGQUIT with its core dump. The lock file
// goes in every case.
TEST(LockPlaceTest, ASignalThatEndsTheHolderRemovesItsLockFile) {
    const struct {
        int signal;
        int exitCode;  // 128 + signal: ended by it
    } cases[] = {{SIGTERM, 0},
                 {SIGHUP, 128 + SIGHUP},
                 {SIGUSR1, 128 + SIGUSR1},
                 {SIGALRM, 128 + SIGALRM},
                 {SIGQUIT, 128 + SIGQUIT}};
    for (const auto& c : cases) {
        TempDir tree;
        PrivateEnvironment environment(tree.path());
        const fs::path lock = tree.path() / "runtime" / LockFile();
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t holder = fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            // As a user's session starts it, whatever ignores the test runner has.
            signal(c.signal, SIG_DFL);
            const bool core = c.signal == SIGQUIT && KeepsACoreIn(tree.path());
            Win32EndOnTerminationSignals(0);
            const char report = CreateMutexA(nullptr, TRUE, kName) == nullptr ? 'n' : core ? 'c' : 'y';
            if (write(ready[1], &report, 1) != 1) _exit(1);
            for (;;) pause();
        }
        close(ready[1]);
        char report = 0;
        ASSERT_EQ(read(ready[0], &report, 1), 1);
        close(ready[0]);
        ASSERT_NE(report, 'n');
        EXPECT_TRUE(fs::exists(lock)) << strsignal(c.signal);
        ASSERT_EQ(kill(holder, c.signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(holder, &status, 0), holder);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), c.exitCode)
            << strsignal(c.signal);
        EXPECT_EQ(WIFSIGNALED(status), c.exitCode != 0) << strsignal(c.signal);
        if (report == 'c') {
            EXPECT_TRUE(WCOREDUMP(status)) << "SIGQUIT dumped no core";
        }
        EXPECT_FALSE(fs::exists(lock)) << strsignal(c.signal);
    }
}

}  // namespace
