// The single-instance mutex across processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

using kernel_test::PrivateEnvironment;
using kernel_test::RunAsOrdinaryUser;
using kernel_test::RunInChild;
using kernel_test::TempDir;
using kernel_test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr char kName[] = "Deepdrift";

class NamedMutexTest : public testing::Test {
protected:
    // What a second program sees: 0 when it took the mutex, 1 when it was
    // already there, 2 when creation failed.
    static int TryInAnotherProcess() {
        return RunInChild([] {
            const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
            if (mutex == nullptr) return 2;
            const int seen = GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
            CloseHandle(mutex);
            return seen;
        });
    }

    TempDir temp_;
    PrivateEnvironment environment_{temp_.path()};
};

TEST_F(NamedMutexTest, SecondProcessFindsItHeld) {
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(TryInAnotherProcess(), 1);
    // Released ownership does not end the mutex: it lives while its handle does.
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(TryInAnotherProcess(), 1);
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_EQ(TryInAnotherProcess(), 0);
}

TEST_F(NamedMutexTest, KilledHolderLeavesNoStaleMutex) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const bool taken = CreateMutexA(nullptr, TRUE, kName) != nullptr && GetLastError() == ERROR_SUCCESS;
        const char report = taken ? 'y' : 'n';
        if (write(ready[1], &report, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char report = 0;
    ASSERT_EQ(read(ready[0], &report, 1), 1);
    close(ready[0]);
    ASSERT_EQ(report, 'y');
    EXPECT_EQ(TryInAnotherProcess(), 1);
    ASSERT_EQ(kill(holder, SIGKILL), 0);
    ASSERT_EQ(waitpid(holder, nullptr, 0), holder);
    EXPECT_EQ(TryInAnotherProcess(), 0);
}

TEST_F(NamedMutexTest, ProgramsStartedByTheHolderDoNotKeepIt) {
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
    ASSERT_NE(mutex, nullptr);
    // A program that lives until it reads a line. The second pipe closes
    // when the program is exec'd, so its end shows that exec has happened.
    int input[2];
    int started[2];
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe2(started, O_CLOEXEC), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        dup2(input[0], STDIN_FILENO);
        close(input[0]);
        close(input[1]);
        execl("/bin/sh", "sh", "-c", "read line", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    close(started[1]);
    char unused;
    ASSERT_EQ(read(started[0], &unused, 1), 0);
    close(started[0]);
    ASSERT_TRUE(CloseHandle(mutex));
    EXPECT_EQ(TryInAnotherProcess(), 0) << "the started program inherited the lock";
    ASSERT_EQ(write(input[1], "\n", 1), 1);
    close(input[1]);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Without a usable $XDG_RUNTIME_DIR (nor a session's /run/user/<uid>), the
// lock lies in our own directory in $TMPDIR, taken by an ordinary user, since
// root writes through any mode. The child's code: 0 when the lock lies where
// expected, a second process finds it held and closing it removes the file.
TEST_F(NamedMutexTest, AnUnusableRuntimeDirectoryGivesWayToAPrivateOne) {
    const uid_t user = geteuid() == 0 ? 65534 : geteuid();  // the ordinary user
    if (fs::exists("/run/user/" + std::to_string(user)))
        GTEST_SKIP() << "the session's directory takes the lock";
    const struct {
        const char* name;
        int mode;  // of the runtime directory; -1: missing; -2: a file there
        bool usable;
    } cases[] = {
        {"ours", 0700, true},       {"readable by all", 0755, true}, {"missing", -1, false},
        {"a file", -2, false},      {"group-writable", 0770, false}, {"writable by all", 0777, false},
        {"read-only", 0500, false},
    };
    for (const auto& c : cases) {
        TempDir tree;
        const fs::path runtime = tree.path() / "runtime";
        const fs::path tmp = tree.path() / "tmp";
        fs::create_directories(tmp);
        if (c.mode == -2) WriteFile(runtime, "");
        if (c.mode >= 0) fs::create_directory(runtime);
        const int result = RunAsOrdinaryUser(tree.path(), [&] {
            const std::string uid = std::to_string(geteuid());
            if (c.mode >= 0 && chmod(runtime.c_str(), static_cast<mode_t>(c.mode)) != 0) return 10;
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            setenv("TMPDIR", tmp.c_str(), 1);
            const fs::path own = tmp / (fs::read_symlink("/proc/self/exe").filename().string() + "-" + uid);
            const fs::path lockFile = (c.usable ? runtime : own) / (std::string(kName) + ".lock");
            const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
            if (mutex == nullptr || !fs::exists(lockFile)) return 11;
            if (TryInAnotherProcess() != 1) return 12;
            CloseHandle(mutex);
            return fs::exists(lockFile) ? 13 : 0;
        });
        EXPECT_EQ(result, 0) << c.name;
    }
}

TEST_F(NamedMutexTest, ALockThatCannotBeMadeSaysWhereAndWhy) {
    const fs::path runtime = temp_.path() / "runtime";
    // A lock name the file system cannot hold.
    const std::string name(300, 'n');
    testing::internal::CaptureStderr();
    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, TRUE, name.c_str()), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(said, std::string(Win32ProgramName()) + ": cannot make the lock file " +
                        (runtime / (name + ".lock")).string() + ": " + std::strerror(ENAMETOOLONG) + "\n");
}

}  // namespace
