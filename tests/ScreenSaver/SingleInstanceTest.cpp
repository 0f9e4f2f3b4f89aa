// One copy at a time: the mutex's name, keyed by the display's identity, and
// WinMain ending at once while another copy holds it.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/SingleInstance.h"

// The saver's launches of the settings tool, counted through the linker
// (--wrap, see CMakeLists.txt) instead of started.
int launches = 0;
extern "C" HINSTANCE __wrap__Z13ShellExecuteAP6HWND__PKcS2_S2_S2_i(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR,
                                                                   int) {
    ++launches;
    return reinterpret_cast<HINSTANCE>(42);
}

namespace {

TEST(SingleInstanceTest, EveryNameOfADisplayKeysTheSameMutex) {
    const struct {
        const char* display;
        const char* canonical;
    } cases[] = {
        {":64", ":64"},
        {":64.0", ":64"},
        {":64.1", ":64"},
        {"unix:64", ":64"},
        {"unix:64.0", ":64"},
        {"localhost:64", ":64"},
        {"unix/:64", ":64"},
        {"localhost/unix:64", ":64"},
        {"tcp/localhost:64.0", ":64"},
        {":064", ":64"},
        {"otherhost:64.2", "otherhost:64"},
        {"tcp/otherhost:64", "otherhost:64"},
        {":65", ":65"},
        {"", ""},
        {nullptr, ""},
        {"not a display", "not a display"},
        {":x", ":x"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.display != nullptr ? c.display : "(unset)";
        EXPECT_EQ(CanonicalDisplayName(c.display), c.canonical) << shown;
    }
    EXPECT_EQ(SaverMutexName(0, ":64"), "Deepdrift-:64");
    EXPECT_EQ(SaverMutexName(0, "unix:64.0"), "Deepdrift-:64");
    EXPECT_NE(SaverMutexName(0, ":65"), SaverMutexName(0, ":64"));
    EXPECT_EQ(SaverMutexName(0, "wayland-1"), "Deepdrift-wayland-1");
    EXPECT_EQ(SaverMutexName(0, nullptr), "Deepdrift");
    EXPECT_EQ(SaverMutexName(0x2A00007, "unix:0.1"), "Deepdrift-:0-0x2a00007");
    EXPECT_NE(SaverMutexName(0x2A00008, ":0"), SaverMutexName(0x2A00007, ":0"));
    EXPECT_NE(SaverMutexName(0x2A00007, nullptr), "Deepdrift");
}

TEST(SingleInstanceTest, WhileAnotherCopyHoldsTheMutexWinMainEndsAtOnce) {
    const struct {
        const char* commandLine;
        const char* display;
        const char* held;  // the mutex another copy holds; null: none
        int launches;
        const char* said;  // standard error
    } cases[] = {
        {"/c", ":64", "Deepdrift-:64", 0, "vantel: already running on display :64\n"},
        {"/s", "unix:64.0", "Deepdrift-:64", 0, "vantel: already running on display unix:64.0\n"},
        {"", ":64", "Deepdrift-:64", 0, "vantel: already running on display :64\n"},
        {"--window-id 0x2a00007", ":64.0", "Deepdrift-:64-0x2a00007", 0,
         "vantel: already running in window 0x2a00007 on display :64.0\n"},
        {"--window-id 0x2a00007", "unix:64", "Deepdrift-:64-0x2a00007", 0,
         "vantel: already running in window 0x2a00007 on display unix:64\n"},
        // Free, the same command line starts the tool: the count sees it.
        {"/c", ":64", nullptr, 1, ""},
        // Another display's saver is no copy of this one's.
        {"/c", ":64", "Deepdrift-:65", 1, ""},
    };
    char pattern[] = "/tmp/vantel-single-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    setenv("XDG_RUNTIME_DIR", pattern, 1);
    unsetenv("XSCREENSAVER_WINDOW");
    for (const auto& c : cases) {
        const std::string shown = std::string(c.commandLine) + " on " + c.display;
        // WinMain runs once per process and keeps what it takes: a child each.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        const std::string said = std::string(pattern) + "/stderr";
        if (child == 0) {
            const int err = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(64);
            setenv("DISPLAY", c.display, 1);
            if (c.held != nullptr) CreateMutexA(nullptr, TRUE, c.held);
            std::string commandLine = c.commandLine;
            const int result = WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT);
            _exit(result | launches << 1 | (SDL_WasInit(SDL_INIT_VIDEO) != 0) << 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << shown;
        EXPECT_EQ(WEXITSTATUS(status) & 1, 1) << shown << ": WinMain did not return 1";
        EXPECT_EQ(WEXITSTATUS(status) >> 1 & 3, c.launches) << shown << ": launches of the tool";
        EXPECT_EQ(WEXITSTATUS(status) >> 3, 0) << shown << ": a window was tried";
        std::ifstream file(said);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), c.said) << shown;
    }
    std::filesystem::remove_all(pattern);
}

}  // namespace
