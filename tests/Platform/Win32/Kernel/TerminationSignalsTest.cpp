// SIGTERM and SIGINT end the process at once with the chosen code and take
// the lock files along; SIGPIPE ends nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "Platform/Win32/Win32.h"
#include "tests/Platform/Win32/Kernel/KernelTestSupport.h"

using kernel_test::PrivateEnvironment;
using kernel_test::RunInChild;
using kernel_test::StartChild;
using kernel_test::TempDir;
using kernel_test::WaitForChild;

namespace {

TEST(TerminationSignals, EndTheProcessWithItsCodeAndNoLockFileLeft) {
    TempDir temp;
    PrivateEnvironment environment(temp.path());
    const std::filesystem::path lockFile = temp.path() / "runtime" / "Held.lock";
    const struct {
        int signal;
        int exitCode;
    } cases[] = {{SIGTERM, 0}, {SIGINT, 0}, {SIGTERM, 7}};
    for (const auto& c : cases) {
        const std::string shown = strsignal(c.signal);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = StartChild([&] {
            Win32EndOnTerminationSignals(c.exitCode);
            if (CreateMutexA(nullptr, TRUE, "Held") == nullptr) return 1;
            if (write(ready[1], "y", 1) != 1) return 2;
            for (;;) pause();
        });
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1) << shown;
        close(ready[0]);
        ASSERT_TRUE(std::filesystem::exists(lockFile)) << shown;
        kill(child, c.signal);
        EXPECT_EQ(WaitForChild(child), c.exitCode) << shown;
        EXPECT_FALSE(std::filesystem::exists(lockFile)) << shown;
    }
}

TEST(TerminationSignals, ASignalIgnoredAtTheStartStaysIgnored) {
    EXPECT_EQ(RunInChild([] {
                  signal(SIGINT, SIG_IGN);
                  Win32EndOnTerminationSignals(0);
                  struct sigaction interrupt {
                  }, terminate{};
                  sigaction(SIGINT, nullptr, &interrupt);
                  sigaction(SIGTERM, nullptr, &terminate);
                  return interrupt.sa_handler == SIG_IGN && terminate.sa_handler != SIG_DFL ? 0 : 1;
              }),
              0);
}

TEST(TerminationSignals, ARequestThatCameWhileBlockedEndsTheProcessAtOnce) {
    EXPECT_EQ(RunInChild([] {
                  sigset_t terminate;
                  sigemptyset(&terminate);
                  sigaddset(&terminate, SIGTERM);
                  sigprocmask(SIG_BLOCK, &terminate, nullptr);
                  raise(SIGTERM);
                  Win32EndOnTerminationSignals(5);
                  return 1;
              }),
              5);
}

TEST(TerminationSignals, AWriteToAPipeWithoutReaderFailsInsteadOfEnding) {
    const auto writeToClosedPipe = [](bool handled) {
        return RunInChild([handled] {
            if (handled) Win32EndOnTerminationSignals(0);
            int ends[2];
            if (pipe(ends) != 0) return 1;
            close(ends[0]);
            return write(ends[1], "x", 1) < 0 && errno == EPIPE ? 0 : 2;
        });
    };
    EXPECT_EQ(writeToClosedPipe(false), 128 + SIGPIPE);
    EXPECT_EQ(writeToClosedPipe(true), 0);
}

}  // namespace
