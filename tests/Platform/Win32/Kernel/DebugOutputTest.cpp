// Debug output and the program's own path.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "Platform/Win32/Win32Extensions.h"

namespace {

// What a child process wrote to its standard error while it called
// OutputDebugStringA with each text, a debugger listening or not, and then
// ended without any flushing.
std::string CaptureDebugOutput(const std::vector<const char*>& texts, bool listening) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "<pipe failed>";
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        Win32ListenToDebugOutput(listening);
        for (const char* text : texts) OutputDebugStringA(text);
        _exit(0);
    }
    close(pipeFds[1]);
    std::string captured;
    char buffer[65536];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        captured.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    return captured;
}

struct OutputCase {
    const char* what;
    std::vector<const char*> texts;
    std::string expected;
    bool listening = true;
};

void PrintTo(const OutputCase& example, std::ostream* out) {
    *out << example.what;
}

class DebugOutputTest : public testing::TestWithParam<OutputCase> {};

TEST_P(DebugOutputTest, WritesTheBytesExactly) {
    EXPECT_EQ(CaptureDebugOutput(GetParam().texts, GetParam().listening), GetParam().expected);
}

const std::string kHuge(1 << 20, 'z');

INSTANTIATE_TEST_SUITE_P(
    Texts, DebugOutputTest,
    testing::Values(OutputCase{"trailing blank, no line end", {"RZX:DDCreateError "}, "RZX:DDCreateError "},
                    OutputCase{"several calls in order", {"RZX:a\n", "", "b", "\r\n"}, "RZX:a\nb\r\n"},
                    OutputCase{"null text", {nullptr, "x"}, "x"},
                    OutputCase{
                        "Japanese text", {"注意 書き込みを中止します。"}, "注意 書き込みを中止します。"},
                    // More than a pipe holds: every byte must still arrive.
                    OutputCase{"a megabyte", {kHuge.c_str()}, kHuge},
                    // Without a debugger the trace must not reach a host's log.
                    OutputCase{"nobody listening", {"RZX:Rendal Initialize\n", "phase 3\n"}, "", false}));

TEST(ModuleFileTest, GivesTheRunningProgramsPathCutToTheBuffer) {
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::string(path).size(), length);
    EXPECT_EQ(std::filesystem::path(path).filename(), "win32_kernel_test");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));

    char small[6];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(std::string(small), std::string(path, 5));
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

}  // namespace
