// One output of the compositor and the full-screen surface of ours on it,
// which shows the output's part of the window's image: on the overlay
// layer where the compositor offers layers (above panels and
// notifications, with the keyboard ours alone), else a full-screen
// toplevel. The image's buffers
// are shared memory: each output's buffer is a view of it at the output's
// offset, rows as far apart as the image's, so nothing is copied per output.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>

#include "Platform/Win32/User/Wayland/BufferTurns.h"
#include "Platform/Win32/User/Wayland/wlr-layer-shell-unstable-v1-client-protocol.h"
#include "Platform/Win32/User/Wayland/xdg-output-unstable-v1-client-protocol.h"
#include "Platform/Win32/User/Wayland/xdg-shell-client-protocol.h"
#include "Platform/Win32/Win32.h"

namespace win32user {

class Output {
public:
    // How long a frame callback may take before the compositor counts as not
    // repainting our surface: an output switched off, or a surface hidden,
    // is sent none.
    static constexpr int kPatienceMs = 1000;

    // Binds the output global `name`; its place comes from the xdg-output
    // manager where there is one (null: from the output itself).
    Output(wl_registry* registry, std::uint32_t name, zxdg_output_manager_v1* placer);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::uint32_t Name() const { return name_; }
    // Where the output lies in the compositor's space; false until known.
    bool Placed(RECT* place) const;
    // True once the place changed since the last call.
    bool TakeMoved();

    // Makes our surface, covering this output: on `layers`' overlay layer,
    // or without layers (null) as `shell`'s full-screen toplevel, which
    // bears `title` (none while empty).
    void MakeSurface(wl_compositor* compositor, zwlr_layer_shell_v1* layers, xdg_wm_base* shell,
                     const std::string& title);
    // Names our toplevel `title` for the compositor's task lists; a layer
    // surface has no title, and an empty one is none.
    void Title(const std::string& title);
    wl_surface* Surface() const { return surface_; }
    // True when our surface is on the compositor's overlay layer.
    bool Layered() const { return layer_ != nullptr; }
    // Where our surface shows the image, in image coordinates (may be empty).
    const RECT& Region() const { return region_; }

    // Makes the buffers showing `region` of the image, buffer b from
    // pools[b] whose rows lie `pitch` bytes apart. Holds on buffers dropped
    // are given back to `turns`.
    void MakeBuffers(wl_shm_pool* const* pools, int pitch, const RECT& region, BufferTurns* turns);
    void DropBuffers();
    // Shows `buffer`, of a single colour, whole, and destroys it once the
    // compositor lets go of it; the image is then due whole at the next show.
    void ShowPainted(wl_buffer* buffer);
    // Shows buffer `buffer` with `areas` (image coordinates) changed, `all`
    // of it when the output has not shown it all yet, and asks for a frame
    // callback unless one is awaited. The holds it adds on the buffer: 0 when
    // the surface cannot show yet (nothing is committed then) or holds it
    // already.
    int Show(int buffer, const RECT* areas, int count, bool all);
    // True while the frame callback asked for has not come.
    bool AwaitingFrame() const { return frame_ != nullptr; }
    // True while the compositor shows our surface and repaints it: it is
    // configured, and no frame callback asked for at least kPatienceMs
    // before `nowMs` (SDL's ticks) is still awaited.
    bool Repaints(std::uint64_t nowMs) const {
        return configured_ && (frame_ == nullptr || nowMs - frameAskedMs_ < kPatienceMs);
    }
    // True when the surface can show the image now.
    bool Shows() const { return configured_ && buffers_[0].buffer != nullptr; }

    // True once the closing of our surface was asked for since the last call.
    bool TakeCloseAsked() {
        const bool asked = closeAsked_;
        closeAsked_ = false;
        return asked;
    }

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        bool held = false;
        int index = 0;
        BufferTurns* turns = nullptr;
    };

    static void Released(void* data, wl_buffer* buffer);
    static void Configured(void* data, xdg_surface* surface, std::uint32_t serial);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static void Closed(void* data, xdg_toplevel* toplevel);
    static void LayerConfigured(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t,
                                std::uint32_t);
    static void Geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                         std::int32_t, const char*, const char*, std::int32_t);
    static void Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                     std::int32_t);
    static void LogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y);
    static void LogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height);
    void Place(int x, int y, int width, int height);

    std::uint32_t name_;
    wl_output* output_;
    zxdg_output_v1* placer_ = nullptr;
    RECT place_{};
    bool placed_ = false;
    bool moved_ = false;
    wl_surface* surface_ = nullptr;
    xdg_surface* xdgSurface_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    bool configured_ = false;
    bool shownAll_ = false;
    bool closeAsked_ = false;
    wl_callback* frame_ = nullptr;
    std::uint64_t frameAskedMs_ = 0;
    RECT region_{};
    Buffer buffers_[BufferTurns::kBuffers];
};

}  // namespace win32user
