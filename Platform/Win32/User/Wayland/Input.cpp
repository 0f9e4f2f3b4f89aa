#include "Platform/Win32/User/Wayland/Input.h"

#include <unistd.h>

#include <array>

namespace win32user {
namespace {

// Linux input codes of the mouse buttons.
constexpr std::uint32_t kLeftButton = 0x110;
constexpr std::uint32_t kRightButton = 0x111;
constexpr std::uint32_t kMiddleButton = 0x112;

// The main block of a PC keyboard by Linux input code, from 1 (Escape) on.
constexpr std::array<SDL_Scancode, 58> kMainBlock{
    SDL_SCANCODE_UNKNOWN,    SDL_SCANCODE_ESCAPE, SDL_SCANCODE_1,           SDL_SCANCODE_2,
    SDL_SCANCODE_3,          SDL_SCANCODE_4,      SDL_SCANCODE_5,           SDL_SCANCODE_6,
    SDL_SCANCODE_7,          SDL_SCANCODE_8,      SDL_SCANCODE_9,           SDL_SCANCODE_0,
    SDL_SCANCODE_MINUS,      SDL_SCANCODE_EQUALS, SDL_SCANCODE_BACKSPACE,   SDL_SCANCODE_TAB,
    SDL_SCANCODE_Q,          SDL_SCANCODE_W,      SDL_SCANCODE_E,           SDL_SCANCODE_R,
    SDL_SCANCODE_T,          SDL_SCANCODE_Y,      SDL_SCANCODE_U,           SDL_SCANCODE_I,
    SDL_SCANCODE_O,          SDL_SCANCODE_P,      SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET,
    SDL_SCANCODE_RETURN,     SDL_SCANCODE_LCTRL,  SDL_SCANCODE_A,           SDL_SCANCODE_S,
    SDL_SCANCODE_D,          SDL_SCANCODE_F,      SDL_SCANCODE_G,           SDL_SCANCODE_H,
    SDL_SCANCODE_J,          SDL_SCANCODE_K,      SDL_SCANCODE_L,           SDL_SCANCODE_SEMICOLON,
    SDL_SCANCODE_APOSTROPHE, SDL_SCANCODE_GRAVE,  SDL_SCANCODE_LSHIFT,      SDL_SCANCODE_BACKSLASH,
    SDL_SCANCODE_Z,          SDL_SCANCODE_X,      SDL_SCANCODE_C,           SDL_SCANCODE_V,
    SDL_SCANCODE_B,          SDL_SCANCODE_N,      SDL_SCANCODE_M,           SDL_SCANCODE_COMMA,
    SDL_SCANCODE_PERIOD,     SDL_SCANCODE_SLASH,  SDL_SCANCODE_RSHIFT,      SDL_SCANCODE_KP_MULTIPLY,
    SDL_SCANCODE_LALT,       SDL_SCANCODE_SPACE,
};

}  // namespace

SDL_Scancode Input::ScancodeOf(std::uint32_t key) {
    return key < kMainBlock.size() ? kMainBlock[key] : SDL_SCANCODE_UNKNOWN;
}

Input::Input(wl_seat* seat, const std::vector<std::unique_ptr<Output>>* outputs)
    : seat_(seat), outputs_(outputs) {
    static const wl_seat_listener seatEvents{
        .capabilities = Capabilities,
        .name = [](void*, wl_seat*, const char*) {},
    };
    wl_seat_add_listener(seat_, &seatEvents, this);
}

Input::~Input() {
    if (keyboard_ != nullptr) wl_keyboard_destroy(keyboard_);
    if (pointer_ != nullptr) wl_pointer_destroy(pointer_);
    wl_seat_destroy(seat_);
}

void Input::Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto* self = static_cast<Input*>(data);
    static const wl_keyboard_listener keyEvents{
        .keymap = [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); },
        .enter = [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
        .leave = [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
        .key = Key,
        .modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t) {},
        .repeat_info = [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
    };
    static const wl_pointer_listener pointerEvents{
        .enter = Entered,
        .leave = [](void*, wl_pointer*, std::uint32_t, wl_surface*) {},
        .motion = Moved,
        .button = Button,
        .axis = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
        // Not sent at the version bound.
        .frame = nullptr,
        .axis_source = nullptr,
        .axis_stop = nullptr,
        .axis_discrete = nullptr,
        .axis_value120 = nullptr,
    };
    const bool keys = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (keys && self->keyboard_ == nullptr) {
        self->keyboard_ = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(self->keyboard_, &keyEvents, self);
    } else if (!keys && self->keyboard_ != nullptr) {
        wl_keyboard_destroy(self->keyboard_);
        self->keyboard_ = nullptr;
    }
    const bool mouse = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (mouse && self->pointer_ == nullptr) {
        self->pointer_ = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(self->pointer_, &pointerEvents, self);
    } else if (!mouse && self->pointer_ != nullptr) {
        wl_pointer_destroy(self->pointer_);
        self->pointer_ = nullptr;
    }
}

void Input::Key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
    const bool down = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    SDL_Event event{};
    event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = ScancodeOf(key);
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    SDL_PushEvent(&event);
}

void Input::Entered(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                    wl_fixed_t y) {
    auto* self = static_cast<Input*>(data);
    self->under_ = RECT{};
    for (const auto& output : *self->outputs_) {
        if (output->Surface() == surface) self->under_ = output->Region();
    }
    // A program that hides the cursor (ShowCursor) hides it over its
    // window; our surfaces are that window.
    if (SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    Moved(data, pointer, 0, x, y);
}

void Input::Moved(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    auto* self = static_cast<Input*>(data);
    self->x_ = self->under_.left + wl_fixed_to_int(x);
    self->y_ = self->under_.top + wl_fixed_to_int(y);
}

void Input::Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                   std::uint32_t state) {
    auto* self = static_cast<Input*>(data);
    Uint8 sdlButton = 0;
    if (button == kLeftButton) sdlButton = SDL_BUTTON_LEFT;
    if (button == kRightButton) sdlButton = SDL_BUTTON_RIGHT;
    if (button == kMiddleButton) sdlButton = SDL_BUTTON_MIDDLE;
    if (sdlButton == 0) return;
    const bool down = state == WL_POINTER_BUTTON_STATE_PRESSED;
    SDL_Event event{};
    event.button.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = sdlButton;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = self->x_;
    event.button.y = self->y_;
    SDL_PushEvent(&event);
}

}  // namespace win32user
