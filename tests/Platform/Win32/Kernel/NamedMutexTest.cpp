// The single-instance mutex across processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Platform/Win32/Win32.h"
#include "tests/Platform/Win32/Kernel/KernelTestSupport.h"

using kernel_test::PrivateEnvironment;
using kernel_test::RunInChild;
using kernel_test::TempDir;

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

TEST_F(NamedMutexTest, FallsBackToTmpWithoutRuntimeDirectory) {
    unsetenv("XDG_RUNTIME_DIR");
    const std::string name = "VantelTest" + std::to_string(getpid());
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    const std::string lockFile = "/tmp/" + name + "-" + std::to_string(getuid());
    EXPECT_EQ(access(lockFile.c_str(), F_OK), 0);
    EXPECT_EQ(RunInChild([&] {
                  const HANDLE second = CreateMutexA(nullptr, TRUE, name.c_str());
                  if (second == nullptr) return 1;
                  const int seen = GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1;
                  CloseHandle(second);
                  return seen;
              }),
              0);
    EXPECT_TRUE(CloseHandle(mutex));
    unlink(lockFile.c_str());
}

TEST_F(NamedMutexTest, UnusableLockDirectoryGivesNoHandle) {
    setenv("XDG_RUNTIME_DIR", (temp_.path() / "missing").c_str(), 1);
    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, TRUE, kName), nullptr);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
}

}  // namespace
