// The single-instance mutex across processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "Platform/Win32/Win32.h"
#include "tests/Platform/Win32/Kernel/KernelTestSupport.h"

using kernel_test::ListDirectory;
using kernel_test::PrivateEnvironment;
using kernel_test::RunAsOrdinaryUser;
using kernel_test::RunInChild;
using kernel_test::TempDir;
using kernel_test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr char kName[] = "Deepdrift";

class NamedMutexTest : public testing::Test {
public:
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

protected:
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

// Where the lock file lies while $XDG_RUNTIME_DIR is `runtime`, taken by an
// ordinary user (root writes through any mode) with `tmp` as $TMPDIR: 0 when
// it lies there, a second process finds the mutex held and closing it
// removes the file; else the number of the check that failed.
int LockLiesIn(const fs::path& runtime, const fs::path& tmp, const std::function<fs::path()>& expected) {
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("TMPDIR", tmp.c_str(), 1);
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
    if (mutex == nullptr) return 10;
    const fs::path lockFile = expected() / (std::string(kName) + ".lock");
    if (!fs::exists(lockFile)) return 11;
    if (NamedMutexTest::TryInAnotherProcess() != 1) return 12;
    CloseHandle(mutex);
    return fs::exists(lockFile) ? 13 : 0;
}

// The session's runtime directory when it has one of ours, else our own
// directory in `tmp`: where a lock goes without a usable $XDG_RUNTIME_DIR.
fs::path Fallback(const fs::path& tmp) {
    const std::string uid = std::to_string(geteuid());
    struct stat status;
    const std::string session = "/run/user/" + uid;
    if (stat(session.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid())
        return session;
    return tmp / (fs::read_symlink("/proc/self/exe").filename().string() + "-" + uid);
}

TEST_F(NamedMutexTest, AnUnusableRuntimeDirectoryGivesWayToAPrivateOne) {
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
        TempDir own;
        const fs::path& tree = own.path();
        const fs::path runtime = tree / "runtime";
        const fs::path tmp = tree / "tmp";
        fs::create_directories(tmp);
        if (c.mode == -2) WriteFile(runtime, "");
        if (c.mode >= 0) fs::create_directory(runtime);
        const int result = RunAsOrdinaryUser(tree, [&] {
            if (c.mode >= 0 && chmod(runtime.c_str(), static_cast<mode_t>(c.mode)) != 0) return 20;
            return LockLiesIn(runtime, tmp, [&] { return c.usable ? runtime : Fallback(tmp); });
        });
        EXPECT_EQ(result, 0) << c.name;
    }
}

// $TMPDIR as it was before the test.
class KeptTmpDir {
public:
    KeptTmpDir() : set_(std::getenv("TMPDIR") != nullptr), value_(set_ ? std::getenv("TMPDIR") : "") {}
    ~KeptTmpDir() { set_ ? setenv("TMPDIR", value_.c_str(), 1) : unsetenv("TMPDIR"); }

private:
    bool set_;
    std::string value_;
};

TEST_F(NamedMutexTest, AnotherUsersFilesInTmpNeverStopIt) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can make files of another user";
    const KeptTmpDir keptTmpDir;
    const std::string ownName = fs::read_symlink("/proc/self/exe").filename().string() + "-0";
    const struct {
        const char* name;
        std::function<void(const fs::path&)> squat;
    } cases[] = {
        {"a file", [](const fs::path& at) { WriteFile(at, ""); }},
        // Even to a directory of ours: the name is not ours to follow.
        {"a link to a directory",
         [this](const fs::path& at) {
             fs::create_directory(temp_.path() / "linked");
             fs::permissions(temp_.path() / "linked", fs::perms::owner_all);
             fs::create_directory_symlink(temp_.path() / "linked", at);
         }},
        {"a directory with a held lock",
         [](const fs::path& at) {
             fs::create_directory(at);
             fs::permissions(at, fs::perms::all);
             WriteFile(at / (std::string(kName) + ".lock"), "");
         }},
    };
    for (const auto& c : cases) {
        // A temporary directory as /tmp is: open to all, sticky.
        const fs::path tmp = temp_.path() / c.name;
        fs::create_directory(tmp);
        fs::permissions(tmp, fs::perms::all | fs::perms::sticky_bit);
        const fs::path squatted = tmp / ownName;
        if (Fallback(tmp) != squatted) GTEST_SKIP() << "root's session has a runtime directory";
        c.squat(squatted);
        ASSERT_EQ(lchown(squatted.c_str(), 65534, 65534), 0);
        const int holder = open((squatted / (std::string(kName) + ".lock")).c_str(), O_RDONLY | O_CLOEXEC);
        if (holder >= 0) flock(holder, LOCK_EX);
        setenv("XDG_RUNTIME_DIR", "", 1);
        setenv("TMPDIR", tmp.c_str(), 1);
        const HANDLE mutex = CreateMutexA(nullptr, TRUE, kName);
        EXPECT_NE(mutex, nullptr) << c.name;
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(TryInAnotherProcess(), 1) << c.name << ": another copy did not find the lock";
        // One directory of our own beside the squatted name, closed to others.
        std::vector<std::string> ours;
        for (const std::string& name : ListDirectory(tmp))
            if (name != ownName) ours.push_back(name);
        ASSERT_EQ(ours.size(), 1u) << c.name;
        EXPECT_EQ(ours[0].rfind(ownName + ".", 0), 0u) << ours[0];
        EXPECT_EQ(fs::status(tmp / ours[0]).permissions(), fs::perms::owner_all) << c.name;
        if (mutex != nullptr) CloseHandle(mutex);
        EXPECT_EQ(ListDirectory(tmp / ours[0]), std::vector<std::string>{}) << c.name;
        if (holder >= 0) close(holder);
    }
}

TEST_F(NamedMutexTest, AHolderThatEndsTakesItsLockFileAlong) {
    const fs::path lockFile = temp_.path() / "runtime" / (std::string(kName) + ".lock");
    EXPECT_EQ(RunInChild([] {
                  if (CreateMutexA(nullptr, TRUE, kName) == nullptr) return 1;
                  std::exit(0);
              }),
              0);
    EXPECT_FALSE(fs::exists(lockFile));
    // Killed outright, it leaves the file, which the next holder takes on.
    EXPECT_EQ(RunInChild([] {
                  if (CreateMutexA(nullptr, TRUE, kName) == nullptr) return 1;
                  raise(SIGKILL);
                  return 2;
              }),
              128 + SIGKILL);
    EXPECT_TRUE(fs::exists(lockFile));
    EXPECT_EQ(TryInAnotherProcess(), 0);
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
    EXPECT_EQ(said, "Cannot make the lock file " + (runtime / (name + ".lock")).string() + ": " +
                        std::strerror(ENAMETOOLONG) + "\n");
}

}  // namespace
