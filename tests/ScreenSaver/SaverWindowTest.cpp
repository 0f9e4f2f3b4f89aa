#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "Platform/Win32/Win32Extensions.h"
#include "Platform/Win32/Win32TestHooks.h"
#include "ScreenSaver/Deepdr.h"
#include "tests/Support/TestWindow.h"

namespace {

HINSTANCE TestInstance() {
    static char module;
    return reinterpret_cast<HINSTANCE>(&module);
}

// The cursor's display count, read without changing it.
int CursorCount() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

class SaverWindowTest : public ::testing::Test {
protected:
    // Once per process, whichever suite of this file runs first.
    static void SetUpTestSuite() {
        static const ATOM atom = RegisterSaverClass(TestInstance());
        ASSERT_NE(atom, 0);
    }

    void SetUp() override {
        countBefore = CursorCount();
        ASSERT_EQ(CreateSaverWindow(TestInstance(), SW_SHOWDEFAULT), 1);
        window = MainWindow;
        ASSERT_NE(window, nullptr);
        DrainMessages();
    }
    void TearDown() override {
        DestroyWindow(window);
        DrainMessages();
    }

    bool Alive() const { return Win32SdlWindow(window) != nullptr; }

    // What the window procedure does with one message: whether the window
    // survives, whether a quit message with exit code 0 follows, and whether
    // the message is passed on to DefWindowProcA.
    void Expect(UINT message, WPARAM wParam, bool closes, bool passedOn, const char* name) {
        const Win32DefaultProcLog before = Win32DefaultProcSeen();
        SaverWndProc(window, message, wParam, 0);
        const Win32DefaultProcLog after = Win32DefaultProcSeen();
        EXPECT_EQ(after.count - before.count, passedOn ? 1u : 0u) << name;
        if (passedOn) {
            EXPECT_EQ(after.last.hwnd, window) << name;
            EXPECT_EQ(after.last.message, message) << name;
            EXPECT_EQ(after.last.wParam, wParam) << name;
        }
        EXPECT_EQ(Alive(), !closes) << name;
        const std::vector<MSG> taken = DrainMessages();
        if (closes) {
            ASSERT_EQ(taken.size(), 1u) << name;
            EXPECT_EQ(taken[0].message, WM_QUIT) << name;
            EXPECT_EQ(taken[0].wParam, 0u) << name;
            EXPECT_EQ(CursorCount(), countBefore) << name;
        } else {
            EXPECT_TRUE(taken.empty()) << name;
            EXPECT_EQ(CursorCount(), countBefore - 1) << name;
        }
    }

    HWND window = nullptr;
    int countBefore = 0;
};

TEST_F(SaverWindowTest, CoversTheScreenShownAndWithTheCursorHidden) {
    RECT rect{};
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    SDL_Window* sdl = Win32SdlWindow(window);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN, 0u);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS, 0u);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Vantel");
    EXPECT_EQ(CursorCount(), countBefore - 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

struct MessageCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool closes;
    bool passedOn;  // to DefWindowProcA

    friend void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }
};

class SaverMessageTest : public SaverWindowTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(SaverMessageTest, ClosesOnlyOnUserInputAndPassesTheRestOn) {
    const MessageCase& c = GetParam();
    Expect(c.message, c.wParam, c.closes, c.passedOn, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaverMessageTest,
    ::testing::Values(MessageCase{"KeyDown", WM_KEYDOWN, 'A', true, false},
                      MessageCase{"Escape", WM_KEYDOWN, VK_ESCAPE, true, false},
                      MessageCase{"Alt", WM_SYSKEYDOWN, VK_MENU, true, false},
                      MessageCase{"F10", WM_SYSKEYDOWN, VK_F10, true, false},
                      MessageCase{"LeftButton", WM_LBUTTONDOWN, 0, true, false},
                      MessageCase{"RightButton", WM_RBUTTONDOWN, 0, true, false},
                      MessageCase{"NonClientMove", WM_NCMOUSEMOVE, 0, true, false},
                      MessageCase{"NonClientLeft", WM_NCLBUTTONDOWN, 0, true, false},
                      MessageCase{"NonClientRight", WM_NCRBUTTONDOWN, 0, true, false},
                      MessageCase{"Close", WM_CLOSE, 0, true, true},
                      MessageCase{"MouseMove", WM_MOUSEMOVE, 0, false, true},
                      MessageCase{"MiddleButton", WM_MBUTTONDOWN, 0, false, true},
                      MessageCase{"LeftUp", WM_LBUTTONUP, 0, false, true},
                      MessageCase{"KeyUp", WM_KEYUP, 'A', false, true},
                      MessageCase{"Wheel", WM_MOUSEWHEEL, 0, false, true},
                      MessageCase{"Activate", WM_ACTIVATE, 1, false, true},
                      MessageCase{"SetFocus", WM_SETFOCUS, 0, false, true},
                      MessageCase{"KillFocus", WM_KILLFOCUS, 0, false, true},
                      MessageCase{"KeyMenu", WM_SYSCOMMAND, SC_KEYMENU, false, false},
                      MessageCase{"ScreenSave", WM_SYSCOMMAND, SC_SCREENSAVE, false, true},
                      MessageCase{"KeyMenuPlusOne", WM_SYSCOMMAND, SC_KEYMENU + 1, false, true}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST_F(SaverWindowTest, AKeyThroughTheQueueEndsWithQuitZero) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_SPACE;
    key.key.windowID = SDL_GetWindowID(Win32SdlWindow(window));
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    TranslateMessage(&msg);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_FALSE(Alive());
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(CursorCount(), countBefore);
    // The saved handle outlives the window.
    EXPECT_EQ(MainWindow, window);
}

// In a host's window the host holds the input and ends the saver itself:
// input closes nothing, a close request (SIGTERM) still ends it with 0, and
// the cursor is left as it was.
TEST_F(SaverWindowTest, InAHostsWindowOnlyACloseRequestEnds) {
    HostWindow = 0x2A00007;
    for (const UINT input : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_NCMOUSEMOVE,
                             WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN}) {
        SaverWndProc(window, input, 'A', 0);
        EXPECT_TRUE(Alive()) << input;
    }
    EXPECT_TRUE(DrainMessages().empty());
    SaverWndProc(window, WM_CLOSE, 0, 0);
    HostWindow = 0;
    EXPECT_FALSE(Alive());
    const std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].message, WM_QUIT);
    EXPECT_EQ(taken[0].wParam, 0u);
    EXPECT_EQ(CursorCount(), countBefore - 1);
    ShowCursor(TRUE);  // what this window's creation, as an own one, lowered
}

TEST_F(SaverWindowTest, AHostWindowThatCannotBeHadIsAFailedCreation) {
    // SDL's dummy display hands over no windows by id.
    HostWindow = 0x2A00007;
    const int count = CursorCount();
    EXPECT_EQ(CreateSaverWindow(TestInstance(), SW_SHOWDEFAULT), 0);
    HostWindow = 0;
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(CursorCount(), count);
}

// Every monitor, not only the first: the window spans them all, placed as
// a plain window above the others (SDL's full screen keeps to one display).
TEST(SaverOverDisplaysTest, TheWindowCoversEveryDisplay) {
    static const ATOM atom = RegisterSaverClass(TestInstance());
    (void)atom;
    struct Layout {
        const char* name;
        std::vector<RECT> displays;
        RECT covered;
    };
    const Layout layouts[] = {
        {"side by side", {{0, 0, 1280, 720}, {1280, 0, 2560, 720}}, {0, 0, 2560, 720}},
        {"second on the left", {{0, 0, 1920, 1080}, {-1280, 200, 0, 1224}}, {-1280, 0, 1920, 1224}},
        {"stacked", {{0, 0, 800, 600}, {0, 600, 1024, 1368}}, {0, 0, 1024, 1368}},
    };
    for (const Layout& layout : layouts) {
        Win32PretendDisplays(layout.displays.data(), static_cast<int>(layout.displays.size()));
        ASSERT_EQ(CreateSaverWindow(TestInstance(), SW_SHOWDEFAULT), 1) << layout.name;
        Win32PretendDisplays(nullptr, 0);
        SDL_Window* sdl = Win32SdlWindow(MainWindow);
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(sdl, &x, &y);
        SDL_GetWindowSize(sdl, &width, &height);
        EXPECT_EQ(x, layout.covered.left) << layout.name;
        EXPECT_EQ(y, layout.covered.top) << layout.name;
        EXPECT_EQ(width, layout.covered.right - layout.covered.left) << layout.name;
        EXPECT_EQ(height, layout.covered.bottom - layout.covered.top) << layout.name;
        const Uint32 flags = SDL_GetWindowFlags(sdl);
        EXPECT_EQ(flags & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u) << layout.name;
        EXPECT_NE(flags & SDL_WINDOW_ALWAYS_ON_TOP, 0u) << layout.name;
        EXPECT_NE(flags & SDL_WINDOW_BORDERLESS, 0u) << layout.name;
        DestroyWindow(MainWindow);
        DrainMessages();
    }
}

TEST(SaverClassTest, RegistersOnceAndItsProcedureIsTheSavers) {
    // At most once per process, also when the fixture above registered it first.
    RegisterSaverClass(TestInstance());
    EXPECT_EQ(RegisterSaverClass(TestInstance()), 0);
    HWND other =
        CreateWindowExA(0, "Vantel", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, TestInstance(), nullptr);
    ASSERT_NE(other, nullptr);
    const MSG key{other, WM_KEYDOWN, 'Q', 0, 0, {0, 0}};
    DispatchMessageA(&key);
    EXPECT_EQ(Win32SdlWindow(other), nullptr);
    const std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].message, WM_QUIT);
    ShowCursor(FALSE);  // this window never lowered what its destruction raised
}

}  // namespace
