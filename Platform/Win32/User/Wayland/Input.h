// Keys and mouse buttons on our surfaces, which have the focus where SDL's
// window has none, as the SDL events SDL's own would have made.
#pragma once

#include <SDL.h>
#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Platform/Win32/User/Wayland/Output.h"

namespace win32user {

class Input {
public:
    // The newest seat whose every event has a handler here.
    static constexpr std::uint32_t kSeatVersion = 4;

    // Events go to the active window; pointer positions are taken from the
    // regions of `outputs`' surfaces.
    Input(wl_seat* seat, const std::vector<std::unique_ptr<Output>>* outputs);
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // The SDL scancode of a Linux input key code; unknown for keys outside
    // the main block.
    static SDL_Scancode ScancodeOf(std::uint32_t key);

private:
    static void Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                    std::uint32_t state);
    static void Entered(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                        wl_fixed_t x, wl_fixed_t y);
    static void Moved(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y);
    static void Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                       std::uint32_t state);

    wl_seat* seat_;
    const std::vector<std::unique_ptr<Output>>* outputs_;
    wl_keyboard* keyboard_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    RECT under_{};  // the region of the surface the pointer is on
    int x_ = 0;     // the pointer in frame coordinates
    int y_ = 0;
};

}  // namespace win32user
