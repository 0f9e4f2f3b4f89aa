#include <gtest/gtest.h>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/Win32/User/WindowTestSupport.h"

namespace {

constexpr UINT WM_USER_TEST_A = 0x0401;  // WM_USER + 1
constexpr UINT WM_USER_TEST_B = 0x0402;

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MakeRecordingWindow();
        ASSERT_NE(window, nullptr);
        DrainMessages();
        ReceivedMessages().clear();
    }
    void TearDown() override {
        DestroyWindow(window);
        DrainMessages();
    }
    HWND window = nullptr;
};

TEST_F(WindowsTest, PostedMessagesComeOutInOrderAndAnEmptyQueueReturnsAtOnce) {
    ASSERT_TRUE(PostMessageA(window, WM_USER_TEST_A, 1, 2));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER_TEST_B, 3, 4));
    ASSERT_TRUE(PostMessageA(window, WM_USER_TEST_A, 5, 6));
    const std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].hwnd, window);
    EXPECT_EQ(taken[0].wParam, 1u);
    EXPECT_EQ(taken[0].lParam, 2);
    EXPECT_EQ(taken[1].hwnd, nullptr);
    EXPECT_EQ(taken[1].message, WM_USER_TEST_B);
    EXPECT_EQ(taken[2].wParam, 5u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowsTest, PeekWithoutRemoveLeavesTheMessageAndFiltersSelect) {
    PostMessageA(window, WM_KEYUP, 7, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_KEYUP);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
    const std::vector<MSG> rest = DrainMessages();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].message, WM_KEYUP);
    EXPECT_EQ(rest[0].wParam, 7u);
}

TEST_F(WindowsTest, DispatchCallsTheClassProcedure) {
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMessage(&msg));
    DispatchMessageA(&msg);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].window, window);
    EXPECT_EQ(ReceivedMessages()[0].message, WM_KEYDOWN);
    EXPECT_EQ(ReceivedMessages()[0].wParam, VK_ESCAPE);
}

TEST_F(WindowsTest, DestroyWindowSendsWmDestroyWhileTheWindowStillExists) {
    ASSERT_TRUE(DestroyWindow(window));
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].message, WM_DESTROY);
    EXPECT_TRUE(ReceivedMessages()[0].sdlWindowAlive);
    EXPECT_EQ(Win32SdlWindow(window), nullptr);
    // Once destroyed the handle is stale: nothing reaches the procedure again.
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_KEYDOWN, 0, 0));
    const MSG stale{window, WM_KEYDOWN, 0, 0, 0, {0, 0}};
    DispatchMessageA(&stale);
    EXPECT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowsTest, CloseDestroysByDefaultAndSystemCommandsDoNot) {
    EXPECT_EQ(DefWindowProcA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(DefWindowProcA(window, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_NE(Win32SdlWindow(window), nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    ASSERT_EQ(ReceivedMessages().size(), 2u);
    EXPECT_EQ(ReceivedMessages()[0].message, WM_CLOSE);
    EXPECT_EQ(ReceivedMessages()[1].message, WM_DESTROY);
    EXPECT_EQ(Win32SdlWindow(window), nullptr);
}

TEST_F(WindowsTest, QuitComesAfterPostedMessagesOnceWithItsExitCode) {
    PostQuitMessage(7);
    PostMessageA(window, WM_KEYUP, 0, 0);
    const std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].message, WM_KEYUP);
    EXPECT_EQ(taken[1].message, WM_QUIT);
    EXPECT_EQ(taken[1].wParam, 7u);
}

TEST_F(WindowsTest, ClientRectangleAndScreenOffsetFollowTheWindow) {
    RECT rect{-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 200);
    EXPECT_EQ(rect.bottom, 100);
    POINT point{5, 6};
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, 35);
    EXPECT_EQ(point.y, 46);
}

TEST_F(WindowsTest, ShowingMakesTheWindowActiveAndHidingUndoesIt) {
    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT));
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(WindowServicesTest, UnknownClassesAndDoubleRegistrationFail) {
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "Twice";
    EXPECT_NE(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    windowClass.lpszClassName = "TWICE";  // class names ignore case
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    windowClass.lpszClassName = "NoProcedure";
    windowClass.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
}

TEST(WindowServicesTest, ScreenSizedPopupCoversTheScreenWithoutBorder) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    HWND window = MakeRecordingWindow(0, 0, width, height);
    ASSERT_NE(window, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(Win32SdlWindow(window));
    EXPECT_EQ(flags & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_NE(flags & SDL_WINDOW_BORDERLESS, 0u);
    RECT rect{};
    GetClientRect(window, &rect);
    EXPECT_EQ(rect.right, width);
    EXPECT_EQ(rect.bottom, height);
    EXPECT_FALSE(Win32HasRealDisplay(window));  // the tests run on SDL's dummy driver
    DestroyWindow(window);
}

TEST(WindowServicesTest, OnlyAnX11DisplayHandsOverWindows) {
    RegisterRecordingClass("Recorder", BLACK_BRUSH);
    EXPECT_EQ(Win32AdoptWindow("NoSuchClass", 0x2A00007), nullptr);
    EXPECT_EQ(Win32AdoptWindow("Recorder", 0), nullptr);
    // The tests run on SDL's dummy driver.
    EXPECT_EQ(Win32AdoptWindow("Recorder", 0x2A00007), nullptr);
}

Uint32 CentrePixel(HWND window) {
    SDL_Surface* surface = SDL_GetWindowSurface(Win32SdlWindow(window));
    const auto* row = static_cast<const Uint8*>(surface->pixels) + surface->pitch * (surface->h / 2);
    Uint32 pixel = 0;
    SDL_memcpy(&pixel, row + surface->format->BytesPerPixel * (surface->w / 2),
               surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return (Uint32{r} << 16) | (Uint32{g} << 8) | b;
}

TEST(WindowServicesTest, UpdateWindowPaintsTheClassBrush) {
    struct Case {
        LPCSTR className;
        int brush;
        Uint32 rgb;
    };
    const Case cases[] = {{"BlackBrushed", BLACK_BRUSH, 0x000000}, {"WhiteBrushed", 0, 0xFFFFFF}};
    for (const Case& c : cases) {
        RegisterRecordingClass(c.className, c.brush);
        HWND window =
            CreateWindowExA(0, c.className, "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        SDL_Surface* surface = SDL_GetWindowSurface(Win32SdlWindow(window));
        ASSERT_NE(surface, nullptr);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 200, 10, 90));
        ASSERT_TRUE(UpdateWindow(window));
        EXPECT_EQ(CentrePixel(window), c.rgb) << c.className;
        DestroyWindow(window);
    }
}

TEST(WindowServicesTest, CursorFollowsTheDisplayCountAcrossVideoStartUp) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    const int start = ShowCursor(FALSE) + 1;
    HWND window = MakeRecordingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(FALSE), start - 2);
    EXPECT_EQ(ShowCursor(TRUE), start - 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), start);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    DestroyWindow(window);
}

TEST(WindowServicesTest, StockObjectsIconsAndCursors) {
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, "AppIcon"), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, "Pointer"), nullptr);
}

}  // namespace
