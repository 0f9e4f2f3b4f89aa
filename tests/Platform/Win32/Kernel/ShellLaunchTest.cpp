// Starting a program through the shell's "open" action.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/Win32/Win32.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using kernel_test::ReadFile;
using kernel_test::TempDir;
using kernel_test::WriteFile;

namespace {

// Writes its working directory and its arguments, one a line, into the FIFO
// "report" in its working directory. Opening the FIFO blocks until the test
// opens it for reading, so the program cannot end before the launch returned.
constexpr char kStandIn[] =
    "#!/bin/sh\n"
    "{ pwd -P; for argument in \"$@\"; do printf '%s\\n' \"$argument\"; done; } > report\n";

std::uintptr_t Code(HINSTANCE result) {
    return reinterpret_cast<std::uintptr_t>(result);
}

void MakeProgram(const fs::path& path, const std::string& text, mode_t mode) {
    WriteFile(path, text);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

// Reads the report to its end: the program has written everything then.
std::string CollectReport(const fs::path& directory) {
    return ReadFile(directory / "report");
}

bool HasChildren() {
    return !(waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
}

class ShellLaunchTest : public testing::Test {
protected:
    void SetUp() override {
        programs_ = temp_.path() / "bin";
        work_ = temp_.path() / "作業 dir";
        fs::create_directories(programs_);
        fs::create_directories(work_);
        MakeProgram(programs_ / "stand-in", kStandIn, 0755);
    }

    TempDir temp_;
    fs::path programs_;
    fs::path work_;
};

TEST_F(ShellLaunchTest, StartsTheProgramInItsDirectoryWithoutWaitingOrLeavingAChild) {
    MakeProgram(work_ / "stand-in", kStandIn, 0755);
    ASSERT_EQ(mkfifo((work_ / "report").c_str(), 0600), 0);
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", "stand-in", "  /s  two\tthree ", work_.c_str(), SW_SHOWNORMAL);
    EXPECT_GT(Code(result), 32u);
    // The program is still blocked on its report, and nothing is left for us to reap.
    EXPECT_FALSE(HasChildren());
    EXPECT_EQ(CollectReport(work_), fs::canonical(work_).string() + "\n/s\ntwo\nthree\n");
}

TEST_F(ShellLaunchTest, WithoutDirectoryFindsTheProgramOnPathAndKeepsTheWorkingDirectory) {
    ASSERT_EQ(mkfifo((work_ / "report").c_str(), 0600), 0);
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    const fs::path oldDirectory = fs::current_path();
    setenv("PATH", ("/nonexistent:" + programs_.string()).c_str(), 1);
    fs::current_path(work_);
    const HINSTANCE result = ShellExecuteA(nullptr, "open", "stand-in", nullptr, nullptr, SW_SHOW);
    const std::string report = CollectReport(work_);
    fs::current_path(oldDirectory);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_GT(Code(result), 32u);
    EXPECT_EQ(report, fs::canonical(work_).string() + "\n");
    EXPECT_FALSE(HasChildren());
}

struct FailureCase {
    const char* what;
    const char* operation;
    const char* file;
    const char* directory;  // relative to the test's directory; null: none
    std::uintptr_t expected;
};

void PrintTo(const FailureCase& example, std::ostream* out) {
    *out << example.what;
}

class ShellLaunchFailureTest : public ShellLaunchTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(ShellLaunchFailureTest, ReportsACodeOf32OrLess) {
    const FailureCase& example = GetParam();
    MakeProgram(programs_ / "not-executable", kStandIn, 0644);
    MakeProgram(programs_ / "garbage", std::string("\x7f\x01\x02 not a program", 18), 0755);
    fs::create_directories(programs_ / "folder");
    setenv("PATH", programs_.c_str(), 1);
    const std::string directory = example.directory ? (temp_.path() / example.directory).string() : "";
    const HINSTANCE result = ShellExecuteA(nullptr, example.operation, example.file, nullptr,
                                           example.directory ? directory.c_str() : nullptr, SW_SHOW);
    EXPECT_EQ(Code(result), example.expected);
    EXPECT_FALSE(HasChildren());
}

INSTANTIATE_TEST_SUITE_P(Cases, ShellLaunchFailureTest,
                         testing::Values(FailureCase{"missing program", "open", "vantel30", "bin", 2},
                                         FailureCase{"missing directory", "open", "stand-in", "nowhere", 3},
                                         FailureCase{"not on PATH", "open", "no-such-program", nullptr, 2},
                                         FailureCase{"empty file name", "open", "", "bin", 2},
                                         FailureCase{"not executable", "open", "not-executable", "bin", 5},
                                         FailureCase{"a directory", "open", "folder", "bin", 31},
                                         FailureCase{"not a program format", "open", "garbage", "bin", 31},
                                         FailureCase{"other operation", "print", "stand-in", "bin", 31}));

}  // namespace
