// SDL's input and close events as the window messages they stand for.
#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/WindowPixels.h"

namespace {

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// Key-message lParam bits: Alt held, key already down, key going up.
constexpr LPARAM kAltContext = LPARAM{1} << 29;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kGoingUp = LPARAM{1} << 31;

struct KeyName {
    SDL_Keycode key;
    WPARAM virtualKey;
};

constexpr KeyName kNamedKeys[] = {
    {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},         {SDLK_RETURN, 0x0D},       {SDLK_KP_ENTER, 0x0D},
    {SDLK_LSHIFT, 0x10},      {SDLK_RSHIFT, 0x10},      {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},
    {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},     {SDLK_PAUSE, 0x13},        {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},       {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},         {SDLK_HOME, 0x24},        {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},
    {SDLK_RIGHT, 0x27},       {SDLK_DOWN, 0x28},        {SDLK_PRINTSCREEN, 0x2C},  {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},      {SDLK_LGUI, 0x5B},        {SDLK_RGUI, 0x5C},         {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, 0x60},        {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},      {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F},   {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
};

// The virtual key of an SDL key; 0 for keys that have none.
WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<WPARAM>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<WPARAM>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<WPARAM>(key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return 0x7C + static_cast<WPARAM>(key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + static_cast<WPARAM>(key - SDLK_KP_1);
    for (const KeyName& named : kNamedKeys) {
        if (named.key == key) return named.virtualKey;
    }
    return 0;
}

LPARAM PackPoint(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

// The MK_* flags of the buttons in `buttons` (an SDL button mask) and of the held modifiers.
WPARAM KeyState(Uint32 buttons) {
    WPARAM flags = 0;
    if ((buttons & SDL_BUTTON_LMASK) != 0) flags |= MK_LBUTTON;
    if ((buttons & SDL_BUTTON_RMASK) != 0) flags |= MK_RBUTTON;
    if ((buttons & SDL_BUTTON_MMASK) != 0) flags |= MK_MBUTTON;
    const SDL_Keymod mods = SDL_GetModState();
    if ((mods & KMOD_SHIFT) != 0) flags |= MK_SHIFT;
    if ((mods & KMOD_CTRL) != 0) flags |= MK_CONTROL;
    return flags;
}

// Events that name no window (as pushed ones may) go to the active window.
HWND Target(Uint32 windowId) {
    return windowId == 0 ? GetActiveWindow() : win32user::WindowFromSdlId(windowId);
}

MSG Message(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, Uint32 time, int clientX, int clientY) {
    POINT pt{clientX, clientY};
    ClientToScreen(hWnd, &pt);
    return MSG{hWnd, message, wParam, lParam, time, pt};
}

std::optional<MSG> KeyMessage(const SDL_KeyboardEvent& key) {
    HWND hWnd = Target(key.windowID);
    if (hWnd == nullptr) return std::nullopt;
    const WPARAM virtualKey = VirtualKey(key.keysym.sym);
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    // Alt, F10 and anything typed with Alt held are system keys.
    const bool system = alt || virtualKey == VK_MENU || virtualKey == VK_F10;
    const bool down = key.type == SDL_KEYDOWN;
    LPARAM lParam = 1;
    if (alt) lParam |= kAltContext;
    if (!down || key.repeat != 0) lParam |= kWasDown;
    if (!down) lParam |= kGoingUp;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    return Message(hWnd, message, virtualKey, lParam, key.timestamp, 0, 0);
}

std::optional<MSG> ButtonMessage(const SDL_MouseButtonEvent& button) {
    HWND hWnd = Target(button.windowID);
    if (hWnd == nullptr) return std::nullopt;
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    switch (button.button) {
        case SDL_BUTTON_LEFT:
            message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case SDL_BUTTON_RIGHT:
            message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case SDL_BUTTON_MIDDLE:
            message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        default:
            return std::nullopt;
    }
    const Uint32 mask = SDL_BUTTON(button.button);
    const Uint32 held = (SDL_GetMouseState(nullptr, nullptr) & ~mask) | (down ? mask : 0);
    return Message(hWnd, message, KeyState(held), PackPoint(button.x, button.y), button.timestamp, button.x,
                   button.y);
}

std::optional<MSG> WheelMessage(const SDL_MouseWheelEvent& wheel) {
    HWND hWnd = Target(wheel.windowID);
    if (hWnd == nullptr) return std::nullopt;
    int steps = wheel.y;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
    const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(steps * WHEEL_DELTA));
    const WPARAM wParam = (static_cast<WPARAM>(delta) << 16) | KeyState(SDL_GetMouseState(nullptr, nullptr));
    MSG msg = Message(hWnd, WM_MOUSEWHEEL, wParam, 0, wheel.timestamp, wheel.mouseX, wheel.mouseY);
    // The wheel message carries its point in screen coordinates.
    msg.lParam = PackPoint(msg.pt.x, msg.pt.y);
    return msg;
}

}  // namespace

namespace win32user {

std::optional<MSG> MessageFromSdlEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return KeyMessage(event.key);
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return ButtonMessage(event.button);
        case SDL_MOUSEWHEEL:
            return WheelMessage(event.wheel);
        case SDL_MOUSEMOTION: {
            HWND hWnd = Target(event.motion.windowID);
            if (hWnd == nullptr) return std::nullopt;
            return Message(hWnd, WM_MOUSEMOVE, KeyState(event.motion.state),
                           PackPoint(event.motion.x, event.motion.y), event.motion.timestamp, event.motion.x,
                           event.motion.y);
        }
        case SDL_WINDOWEVENT: {
            const Uint8 what = event.window.event;
            HWND hWnd = Target(event.window.windowID);
            if (hWnd == nullptr) return std::nullopt;
            if (what == SDL_WINDOWEVENT_EXPOSED) PixelsOf(hWnd)->NoteLost();
            if (what != SDL_WINDOWEVENT_CLOSE && what != SDL_WINDOWEVENT_SIZE_CHANGED) return std::nullopt;
            if (what == SDL_WINDOWEVENT_CLOSE)
                return Message(hWnd, WM_CLOSE, 0, 0, event.window.timestamp, 0, 0);
            return Message(hWnd, WM_SIZE, SIZE_RESTORED, PackPoint(event.window.data1, event.window.data2),
                           event.window.timestamp, 0, 0);
        }
        case SDL_SYSWMEVENT:
            if (DisplayServer* server = DisplayInUse()) server->NoteSystemEvent(event.syswm.msg);
            return std::nullopt;
        case SDL_DISPLAYEVENT:
            CheckDisplayLayout();
            return std::nullopt;
        case SDL_QUIT: {
            // SDL turns SIGTERM and SIGINT into this, where the program leaves
            // them to SDL: a close request from outside.
            HWND hWnd = GetActiveWindow();
            if (hWnd == nullptr) return std::nullopt;
            return Message(hWnd, WM_CLOSE, 0, 0, event.quit.timestamp, 0, 0);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace win32user
