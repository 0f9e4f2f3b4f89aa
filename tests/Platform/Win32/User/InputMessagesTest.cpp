#include <gtest/gtest.h>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/Win32/User/WindowTestSupport.h"

namespace {

constexpr UINT kNone = 0;

struct InputCase {
    const char* name;
    SDL_Event event;
    UINT message;  // kNone: the event stands for no message
    WPARAM wParam;
    LPARAM lParam;  // checked where not 0: mouse buttons, moves and sizes
};

SDL_Event Key(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, Sint32 x, Sint32 y) {
    SDL_Event e{};
    e.type = type;
    e.button.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(Sint32 x, Sint32 y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event Wheel(Sint32 y) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    return e;
}

SDL_Event WindowEvent(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

SDL_Event Resized(Sint32 width, Sint32 height) {
    SDL_Event e = WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
    e.window.data1 = width;
    e.window.data2 = height;
    return e;
}

SDL_Event Quit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    return e;
}

LPARAM Point(int x, int y) {
    return (y << 16) | x;
}

class InputMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MakeRecordingWindow(30, 40, 200, 100);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        DrainMessages();
    }
    void TearDown() override {
        DestroyWindow(window);
        DrainMessages();
    }
    HWND window = nullptr;
};

TEST_F(InputMessagesTest, EachEventBecomesItsMessage) {
    const InputCase cases[] = {
        {"letter", Key(SDL_KEYDOWN, SDLK_a), WM_KEYDOWN, 'A', 0},
        {"digit", Key(SDL_KEYDOWN, SDLK_7), WM_KEYDOWN, '7', 0},
        {"escape", Key(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 0},
        {"space", Key(SDL_KEYDOWN, SDLK_SPACE), WM_KEYDOWN, 0x20, 0},
        {"F1", Key(SDL_KEYDOWN, SDLK_F1), WM_KEYDOWN, 0x70, 0},
        {"left Alt", Key(SDL_KEYDOWN, SDLK_LALT), WM_SYSKEYDOWN, VK_MENU, 0},
        {"right Alt", Key(SDL_KEYDOWN, SDLK_RALT), WM_SYSKEYDOWN, VK_MENU, 0},
        {"F10", Key(SDL_KEYDOWN, SDLK_F10), WM_SYSKEYDOWN, VK_F10, 0},
        {"Alt+X", Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT), WM_SYSKEYDOWN, 'X', 0},
        {"key without virtual key", Key(SDL_KEYDOWN, SDLK_MUTE), WM_KEYDOWN, 0, 0},
        {"letter up", Key(SDL_KEYUP, SDLK_a), WM_KEYUP, 'A', 0},
        {"Alt up", Key(SDL_KEYUP, SDLK_LALT), WM_SYSKEYUP, VK_MENU, 0},
        {"left button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), WM_LBUTTONDOWN, 0x0001,
         Point(10, 20)},
        {"right button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 3, 4), WM_RBUTTONDOWN, 0x0002,
         Point(3, 4)},
        {"middle button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 5, 6), WM_MBUTTONDOWN, 0x0010,
         Point(5, 6)},
        {"left up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 2), WM_LBUTTONUP, 0, Point(1, 2)},
        {"right up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 2), WM_RBUTTONUP, 0, Point(1, 2)},
        {"middle up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 2), WM_MBUTTONUP, 0, Point(1, 2)},
        {"side button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 2), kNone, 0, 0},
        {"move", Motion(50, 60), WM_MOUSEMOVE, 0, Point(50, 60)},
        {"wheel away", Wheel(1), WM_MOUSEWHEEL, WPARAM{120} << 16, 0},
        {"wheel toward", Wheel(-1), WM_MOUSEWHEEL, WPARAM{0xFF88} << 16, 0},
        {"close request", WindowEvent(SDL_WINDOWEVENT_CLOSE), WM_CLOSE, 0, 0},
        {"quit request", Quit(), WM_CLOSE, 0, 0},
        {"new size", Resized(640, 480), WM_SIZE, SIZE_RESTORED, Point(640, 480)},
        {"resized by request", WindowEvent(SDL_WINDOWEVENT_RESIZED), kNone, 0, 0},
        {"exposed", WindowEvent(SDL_WINDOWEVENT_EXPOSED), kNone, 0, 0},
        {"focus gained", WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), kNone, 0, 0},
        {"pointer entered", WindowEvent(SDL_WINDOWEVENT_ENTER), kNone, 0, 0},
    };
    const Uint32 windowId = SDL_GetWindowID(Win32SdlWindow(window));
    for (const InputCase& c : cases) {
        SDL_Event event = c.event;
        // Every event but the quit request names its window, as SDL's own do.
        if (event.type == SDL_WINDOWEVENT) event.window.windowID = windowId;
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) event.key.windowID = windowId;
        if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
            event.button.windowID = windowId;
        if (event.type == SDL_MOUSEMOTION) event.motion.windowID = windowId;
        if (event.type == SDL_MOUSEWHEEL) event.wheel.windowID = windowId;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << c.name;
        const std::vector<MSG> taken = DrainMessages();
        if (c.message == kNone) {
            EXPECT_TRUE(taken.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(taken.size(), 1u) << c.name;
        EXPECT_EQ(taken[0].hwnd, window) << c.name;
        EXPECT_EQ(taken[0].message, c.message) << c.name;
        EXPECT_EQ(taken[0].wParam, c.wParam) << c.name;
        if (c.lParam != 0) {
            EXPECT_EQ(taken[0].lParam, c.lParam) << c.name;
        }
    }
}

TEST_F(InputMessagesTest, MousePointIsAlsoGivenInScreenCoordinates) {
    SDL_Event event = Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    event.button.windowID = SDL_GetWindowID(Win32SdlWindow(window));
    SDL_PushEvent(&event);
    const std::vector<MSG> taken = DrainMessages();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].pt.x, 40);
    EXPECT_EQ(taken[0].pt.y, 60);
}

TEST_F(InputMessagesTest, EventsOfADestroyedWindowAreDropped) {
    SDL_Event event = Key(SDL_KEYDOWN, SDLK_a);
    event.key.windowID = SDL_GetWindowID(Win32SdlWindow(window));
    DestroyWindow(window);
    SDL_PushEvent(&event);
    SDL_Event quit = Quit();
    SDL_PushEvent(&quit);
    EXPECT_TRUE(DrainMessages().empty());
}

}  // namespace
