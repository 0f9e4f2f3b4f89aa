// One copy at a time: the mutex's name, keyed by the display's identity, and
// WinMain ending at once while another copy holds it.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
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

TEST(SingleInstance, EveryNameOfADisplayKeysTheSameMutex) {
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
    EXPECT_EQ(SaverMutexName(0, ":64"), "Deepdrift");
    EXPECT_EQ(SaverMutexName(0x2A00007, "unix:0.1"), "Deepdrift-:0-0x2a00007");
    EXPECT_NE(SaverMutexName(0x2A00008, ":0"), SaverMutexName(0x2A00007, ":0"));
    EXPECT_NE(SaverMutexName(0x2A00007, nullptr), "Deepdrift");
}

TEST(SingleInstance, WhileAnotherCopyHoldsTheMutexWinMainEndsAtOnce) {
    const struct {
        const char* commandLine;
        const char* display;
        const char* held;  // the mutex another copy holds; null: none
        int launches;
    } cases[] = {
        {"/c", ":64", "Deepdrift", 0},
        {"/s", ":64", "Deepdrift", 0},
        {"", ":64", "Deepdrift", 0},
        {"--window-id 0x2a00007", ":64.0", "Deepdrift-:64-0x2a00007", 0},
        {"--window-id 0x2a00007", "unix:64", "Deepdrift-:64-0x2a00007", 0},
        // Free, the same command line starts the tool: the count sees it.
        {"/c", ":64", nullptr, 1},
    };
    char pattern[] = "/tmp/vantel-single-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path root = pattern;
    unsetenv("XSCREENSAVER_WINDOW");
    int index = 0;
    for (const auto& c : cases) {
        const std::string shown = std::string(c.commandLine) + " on " + c.display;
        // Each case its own lock directory: WinMain keeps what it takes.
        const std::filesystem::path runtime = root / std::to_string(index++);
        std::filesystem::create_directory(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("DISPLAY", c.display, 1);
        HANDLE other = c.held != nullptr ? CreateMutexA(nullptr, TRUE, c.held) : nullptr;
        launches = 0;
        std::string commandLine = c.commandLine;
        EXPECT_EQ(WinMain(nullptr, nullptr, commandLine.data(), SW_SHOWDEFAULT), 1) << shown;
        EXPECT_EQ(launches, c.launches) << shown;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << shown << ": a window was tried";
        if (other != nullptr) CloseHandle(other);
    }
    std::filesystem::remove_all(root);
}

}  // namespace
