// The entry: one copy at a time, the run mode, and the saver's main loop.
#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Direct3d/Rendal.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/DebugLevel.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/SaverOptions.h"
#include "ScreenSaver/Scene.h"
#include "ScreenSaver/SingleInstance.h"
#include "Settings/ProgramDirectory.h"
#include "Settings/Version.h"

namespace {

constexpr const char* kSettingsTool = "vantel30";

// Held for the whole run; the ending process gives it up.
HANDLE mutex = nullptr;

// The settings tool lies beside this program.
void StartSettingsTool() {
    const std::string directory = vantel_settings::ProgramDirectory();
    ShellExecuteA(GetActiveWindow(), "open", kSettingsTool, nullptr,
                  directory.empty() ? nullptr : directory.c_str(), SW_SHOW);
}

void SayAlreadyRunning(std::uint64_t window, const char* display) {
    if (window != 0)
        std::fprintf(stderr, "vantel: already running in window 0x%llx on display %s\n",
                     static_cast<unsigned long long>(window), display);
    else
        std::fprintf(stderr, "vantel: already running on display %s\n", display);
}

const char* HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? entry->pw_dir : nullptr;
}

// Handles every waiting message, then moves and draws one frame while
// anybody may see it, until WM_QUIT.
int RunMainLoop(bool showFrameRate) {
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Put the quit back, so that any message loop that runs after this one ends too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return 0;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // With the monitors off or the window hidden nobody sees a frame:
        // sleep on the display until somebody may again, or input comes.
        if (RZXState.active && !Win32WindowSeen(MainWindow)) {
            Win32AwaitSight(MainWindow);
            continue;
        }
        MoveBox();
        FrameTick(showFrameRate);
        // With rendering stopped nothing changes on screen until the user
        // ends the saver: sleep until a message arrives instead of spinning.
        // A host's window, at whatever size, then shows black, not a stale frame.
        if (!RZXState.active) {
            if (HostWindow != 0) UpdateWindow(MainWindow);
            WaitMessage();
        }
    }
}

}  // namespace

int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    const SaverOptions options = ReadSaverOptions(lpCmdLine, std::getenv("XSCREENSAVER_WINDOW"));
    std::fputs(options.warnings.c_str(), stderr);
    if (options.help || options.version) {
        if (options.help)
            std::fputs(kSaverUsage, stdout);
        else
            std::printf("vantel %s\n%s", vantel_settings::kVersion, vantel_settings::kCopyrightNotice);
        return 0;
    }
    const HostRequest& host = options.host;
    if (host.kind == HostRequest::Kind::Invalid) {
        std::fputs(host.problem.c_str(), stderr);
        return 1;
    }
    // As X programs take it: everything from here on opens this display.
    if (options.display) setenv("DISPLAY", options.display->c_str(), 1);
    // One copy per display it draws on; a host runs one saver per window,
    // all at once: one copy per window. A host's window, and a display asked
    // for by name, are X11's.
    std::string why;
    const char* display =
        Win32ChooseDisplay(host.kind == HostRequest::Kind::HostWindow || options.display.has_value(), &why);
    if (SaverDebugLevel() == 2 && !why.empty()) std::fprintf(stderr, "vantel: drawing on %s\n", why.c_str());
    mutex = CreateMutexA(nullptr, TRUE, SaverMutexName(host.window, display).c_str());
    if (mutex == nullptr) return 1;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SayAlreadyRunning(host.window, display != nullptr ? display : "(none)");
        return 1;
    }

    HostWindow = host.window;
    HostOverrides overrides = options.overrides;
    if (overrides.texture) overrides.texture = ExpandHomeDirectory(*overrides.texture, HomeDirectory());
    switch (options.mode) {
        case RunMode::None:
            std::fputs(kSaverUsageLine, stderr);
            ReleaseMutex(mutex);
            return 1;
        case RunMode::Configure:
            StartSettingsTool();
            ReleaseMutex(mutex);
            return 1;
        case RunMode::Saver:
            break;
    }
    if (hPrevInstance == nullptr && RegisterSaverClass(hInstance) == 0) {
        ReleaseMutex(mutex);
        return 1;
    }
    if (CreateSaverWindow(hInstance, nCmdShow) == 0) {
        ReleaseMutex(mutex);
        return 1;
    }
    // Without a scene root or a viewport there is nothing to show: close the
    // window, which gives the screen and the cursor back and releases the
    // rendering layer, and end as a failed start does. A host's window stays
    // black until the host ends the saver instead.
    if ((StartRendering() == 0 || BuildScene(overrides) == 0) && HostWindow == 0) {
        DestroyWindow(MainWindow);
        return 1;
    }
    return RunMainLoop(overrides.showFrameRate);
}
