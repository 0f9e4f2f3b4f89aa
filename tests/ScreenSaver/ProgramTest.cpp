// Runs the real program with no display at all: the paths that must open no
// window end without trying, and configure mode starts the tool beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Settings/Version.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;  // -1: still running at the deadline (then killed)
    std::string standardError;
    std::string standardOutput;
};

std::string FileText(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int StartWithTermPending(char* const* argv, char* const* envp, const fs::path& errPath,
                         const fs::path& outPath, pid_t* pid) {
    *pid = fork();
    if (*pid < 0) return errno;
    if (*pid > 0) return 0;
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0) _exit(126);
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigprocmask(SIG_BLOCK, &term, nullptr);
    signal(SIGTERM, SIG_DFL);
    kill(getpid(), SIGTERM);
    execve(argv[0], argv, envp);
    _exit(127);
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantel-program-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "runtime");
        fs::create_directories(root / "config");
        fs::permissions(root / "runtime", fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(root); }

    // Runs `program` with `args` and no display; the mutex and settings live under `root`.
    // With `termPending`, a SIGTERM waits, blocked, as the program starts.
    Outcome Run(const fs::path& program, const std::vector<std::string>& args, bool termPending = false) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            for (const char* drop : {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=", "XDG_RUNTIME_DIR=",
                                     "XDG_CONFIG_HOME="}) {
                if (entry.rfind(drop, 0) == 0) goto skip;
            }
            env.push_back(entry);
        skip:;
        }
        env.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
        env.push_back("XDG_CONFIG_HOME=" + (root / "config").string());
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string programText = program.string();
        std::vector<std::string> argText{programText};
        argText.insert(argText.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argText) argv.push_back(a.data());
        argv.push_back(nullptr);

        const fs::path errPath = root / "stderr";
        const fs::path outPath = root / "stdout";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        Outcome outcome;
        // A spawned child takes no pending signal along: a forked one blocks
        // and sends itself the signal before it becomes the program.
        const int spawned = termPending
                                ? StartWithTermPending(argv.data(), envp.data(), errPath, outPath, &pid)
                                : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) return outcome;
        // A generous deadline only so that a hanging program fails the test instead of blocking it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return outcome;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
        outcome.standardError = FileText(errPath);
        outcome.standardOutput = FileText(outPath);
        return outcome;
    }

    static fs::path Vantel() { return fs::path(VANTEL_BIN_DIR) / "vantel"; }
    static fs::path Tool() { return fs::path(VANTEL_BIN_DIR) / "vantel30"; }

    fs::path root;
};

TEST_F(ProgramTest, CommandLinesWithoutAModeEndWithOneAndTryNoWindow) {
    const std::vector<std::vector<std::string>> commandLines = {{},    {"/p", "1234"}, {"/a"},      {"x"},
                                                                {"-"}, {"/"},          {"--bogus"}, {"-v"}};
    for (const auto& args : commandLines) {
        const Outcome outcome = Run(Vantel(), args);
        const std::string shown = args.empty() ? "(empty)" : args[0];
        EXPECT_EQ(outcome.exitCode, 1) << shown;
        // The usage alone: without a display, any attempt at a window would
        // leave its complaint here too.
        EXPECT_TRUE(outcome.standardError.starts_with("vantel: usage: vantel /s | /c")) << shown;
        EXPECT_EQ(std::count(outcome.standardError.begin(), outcome.standardError.end(), '\n'), 1) << shown;
    }
}

// Neither needs a display for them: the tool opens no window.
TEST_F(ProgramTest, BothProgramsAnswerHelpAndVersionOnStandardOutput) {
    const std::string version = vantel_settings::kVersion;
    const struct {
        fs::path program;
        const char* argument;
        std::string starts;
    } cases[] = {
        {Vantel(), "--help", "Usage: vantel /s"},
        {Vantel(), "--version", "vantel " + version + "\n"},
        {Tool(), "-h", "Usage: vantel30 "},
        {Tool(), "--version", "vantel30 " + version + "\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.program, {c.argument});
        const std::string shown = c.program.filename().string() + " " + c.argument;
        EXPECT_EQ(outcome.exitCode, 0) << shown;
        EXPECT_TRUE(outcome.standardOutput.starts_with(c.starts)) << shown << ": " << outcome.standardOutput;
        EXPECT_EQ(outcome.standardError, "") << shown;
    }
}

// A packager reads the holder and the licence off either program.
TEST_F(ProgramTest, BothVersionsNameTheCopyrightHolderAndTheLicence) {
    for (const fs::path& program : {Vantel(), Tool()}) {
        const std::string answer = Run(program, {"--version"}).standardOutput;
        for (const char* named : {"Copyright (c) 2026 The Vantel developers\n", "MIT (Expat) licence"})
            EXPECT_NE(answer.find(named), std::string::npos) << program.filename() << ": " << answer;
    }
}

// Whether or not the rendering trace is asked for.
TEST_F(ProgramTest, AnOptionPassedOverIsOneLineOnStandardError) {
    const Outcome outcome = Run(Vantel(), {"--version", "-colors", "64"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.standardError, "vantel: ignoring unknown option \"-colors 64\"\n");
}

// Before its first line: the end a session manager asked for comes first,
// and the lock it may have taken goes with it.
TEST_F(ProgramTest, ATermPendingAtTheStartEndsTheSaverWithZero) {
    const Outcome outcome = Run(Vantel(), {"/s"}, true);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_TRUE(fs::is_empty(root / "runtime"));
}

TEST_F(ProgramTest, SaverWithoutADisplayEndsWithOneAndSaysWhy) {
    const Outcome outcome = Run(Vantel(), {"/s"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.standardError.find("DISPLAY"), std::string::npos) << outcome.standardError;
}

// A stand-in settings tool that records its arguments and working directory,
// then stays until the test lets it go (it takes the release file away as it
// leaves): a screensaver that waited for it would never end.
void WriteStandInTool(const fs::path& directory) {
    const fs::path tool = directory / "vantel30";
    std::ofstream script(tool);
    script << "#!/bin/sh\n"
              "echo \"args=$#\" > \"$MARKER.tmp\"\n"
              "pwd >> \"$MARKER.tmp\"\n"
              "mv \"$MARKER.tmp\" \"$MARKER\"\n"
              "i=0\n"
              "while [ ! -e \"$RELEASE\" ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i+1)); done\n"
              "rm -f \"$RELEASE\"\n";
    script.close();
    fs::permissions(tool, fs::perms::owner_all);
}

// Waits, within a generous bound, until `path` exists (or no longer exists).
bool Await(const fs::path& path, bool present) {
    for (int i = 0; i < 1200; ++i) {
        if (fs::exists(path) == present) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST_F(ProgramTest, ConfigureStartsTheToolBesideTheProgramWithoutWaiting) {
    const fs::path installed = root / "bin";
    fs::create_directories(installed);
    fs::copy_file(Vantel(), installed / "vantel");
    fs::permissions(installed / "vantel", fs::perms::owner_all);
    WriteStandInTool(installed);

    const std::vector<std::vector<std::string>> commandLines = {
        {"/c"}, {"/c", "/s"}, {"/s", "/c"}, {"-C:1234"}};
    for (std::size_t i = 0; i < commandLines.size(); ++i) {
        const std::string shown =
            commandLines[i][0] + (commandLines[i].size() > 1 ? " " + commandLines[i][1] : "");
        const fs::path marker = root / ("marker" + std::to_string(i));
        const fs::path release = root / ("release" + std::to_string(i));
        setenv("MARKER", marker.c_str(), 1);
        setenv("RELEASE", release.c_str(), 1);
        const Outcome outcome = Run(installed / "vantel", commandLines[i]);
        EXPECT_EQ(outcome.exitCode, 1) << shown;
        EXPECT_EQ(outcome.standardError, "") << shown;
        std::ofstream(release.string()).close();
        // The tool runs on after the screensaver has ended.
        ASSERT_TRUE(Await(marker, true)) << shown;
        std::ifstream record(marker);
        std::string argsLine;
        std::string directory;
        std::getline(record, argsLine);
        std::getline(record, directory);
        EXPECT_EQ(argsLine, "args=0") << shown;
        EXPECT_EQ(fs::path(directory), installed) << shown;
        EXPECT_TRUE(Await(release, false)) << shown;
    }
    unsetenv("MARKER");
    unsetenv("RELEASE");
}

}  // namespace
