#include "Platform/Win32/User/Wayland/Output.h"

#include <SDL.h>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

constexpr int kBytesPerPixel = 4;

// Versions whose every event has a handler below.
constexpr std::uint32_t kOutputVersion = 2;

}  // namespace

Output::Output(wl_registry* registry, std::uint32_t name, zxdg_output_manager_v1* placer)
    : name_(name),
      output_(
          static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, kOutputVersion))) {
    static const wl_output_listener outputEvents{
        .geometry = Geometry,
        .mode = Mode,
        .done = [](void*, wl_output*) {},
        .scale = [](void*, wl_output*, std::int32_t) {},
        // Not sent at the version bound.
        .name = nullptr,
        .description = nullptr,
    };
    wl_output_add_listener(output_, &outputEvents, this);
    if (placer == nullptr) return;
    static const zxdg_output_v1_listener placeEvents{
        .logical_position = LogicalPosition,
        .logical_size = LogicalSize,
        .done = [](void*, zxdg_output_v1*) {},
        .name = [](void*, zxdg_output_v1*, const char*) {},
        .description = [](void*, zxdg_output_v1*, const char*) {},
    };
    placer_ = zxdg_output_manager_v1_get_xdg_output(placer, output_);
    zxdg_output_v1_add_listener(placer_, &placeEvents, this);
}

Output::~Output() {
    DropBuffers();
    if (frame_ != nullptr) wl_callback_destroy(frame_);
    if (layer_ != nullptr) zwlr_layer_surface_v1_destroy(layer_);
    if (toplevel_ != nullptr) xdg_toplevel_destroy(toplevel_);
    if (xdgSurface_ != nullptr) xdg_surface_destroy(xdgSurface_);
    if (surface_ != nullptr) wl_surface_destroy(surface_);
    if (placer_ != nullptr) zxdg_output_v1_destroy(placer_);
    wl_output_destroy(output_);
}

bool Output::Placed(RECT* place) const {
    *place = place_;
    return placed_ && place_.right > place_.left && place_.bottom > place_.top;
}

bool Output::TakeMoved() {
    const bool moved = moved_;
    moved_ = false;
    return moved;
}

void Output::Place(int x, int y, int width, int height) {
    const RECT place{x, y, x + width, y + height};
    if (placed_ && place.left == place_.left && place.top == place_.top && place.right == place_.right &&
        place.bottom == place_.bottom)
        return;
    place_ = place;
    placed_ = true;
    moved_ = true;
}

void Output::Geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                      std::int32_t, const char*, const char*, std::int32_t) {
    auto* self = static_cast<Output*>(data);
    if (self->placer_ == nullptr)
        self->Place(x, y, self->place_.right - self->place_.left, self->place_.bottom - self->place_.top);
}

void Output::Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                  std::int32_t) {
    auto* self = static_cast<Output*>(data);
    if (self->placer_ == nullptr && (flags & WL_OUTPUT_MODE_CURRENT) != 0)
        self->Place(self->place_.left, self->place_.top, width, height);
}

void Output::LogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    auto* self = static_cast<Output*>(data);
    self->Place(x, y, self->place_.right - self->place_.left, self->place_.bottom - self->place_.top);
}

void Output::LogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    auto* self = static_cast<Output*>(data);
    self->Place(self->place_.left, self->place_.top, width, height);
}

void Output::MakeSurface(wl_compositor* compositor, zwlr_layer_shell_v1* layers, xdg_wm_base* shell,
                         const std::string& title) {
    surface_ = wl_compositor_create_surface(compositor);
    if (layers != nullptr) {
        static const zwlr_layer_surface_v1_listener layerEvents{
            .configure = LayerConfigured,
            // Its output went: the output's own withdrawal takes the surface.
            .closed = [](void*, zwlr_layer_surface_v1*) {},
        };
        layer_ = zwlr_layer_shell_v1_get_layer_surface(layers, surface_, output_,
                                                       ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, Win32ProgramName());
        zwlr_layer_surface_v1_add_listener(layer_, &layerEvents, this);
        zwlr_layer_surface_v1_set_anchor(
            layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                        ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        // Over the whole output, whatever panels keep for themselves.
        zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            layer_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        static const xdg_surface_listener surfaceEvents{.configure = Configured};
        static const xdg_toplevel_listener toplevelEvents{
            .configure = [](void*, xdg_toplevel*, std::int32_t, std::int32_t, wl_array*) {},
            .close = Closed,
            // Not sent at the version bound.
            .configure_bounds = nullptr,
            .wm_capabilities = nullptr,
        };
        xdgSurface_ = xdg_wm_base_get_xdg_surface(shell, surface_);
        xdg_surface_add_listener(xdgSurface_, &surfaceEvents, this);
        toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
        xdg_toplevel_add_listener(toplevel_, &toplevelEvents, this);
        Title(title);
        // For the compositor's rules to name.
        xdg_toplevel_set_app_id(toplevel_, Win32ProgramName());
        xdg_toplevel_set_fullscreen(toplevel_, output_);
    }
    // No buffer before the compositor has said how it will show the surface.
    wl_surface_commit(surface_);
}

void Output::Title(const std::string& title) {
    if (toplevel_ != nullptr && !title.empty()) xdg_toplevel_set_title(toplevel_, title.c_str());
}

void Output::LayerConfigured(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t,
                             std::uint32_t) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    auto* self = static_cast<Output*>(data);
    self->configured_ = true;
    self->shownAll_ = false;
}

void Output::Configured(void* data, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    auto* self = static_cast<Output*>(data);
    self->configured_ = true;
    // The compositor may have placed the surface anew (sway puts it on its
    // output only once mapped) and repaints only what it is told changed.
    self->shownAll_ = false;
}

void Output::Closed(void* data, xdg_toplevel*) {
    static_cast<Output*>(data)->closeAsked_ = true;
}

void Output::FrameDone(void* data, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    static_cast<Output*>(data)->frame_ = nullptr;
}

void Output::Released(void* data, wl_buffer*) {
    auto* buffer = static_cast<Buffer*>(data);
    if (!buffer->held) return;
    buffer->held = false;
    buffer->turns->Released(buffer->index);
}

void Output::MakeBuffers(wl_shm_pool* const* pools, int pitch, const RECT& region, BufferTurns* turns) {
    static const wl_buffer_listener bufferEvents{.release = Released};
    DropBuffers();
    region_ = region;
    shownAll_ = false;
    if (region.right <= region.left || region.bottom <= region.top) return;
    const int offset = region.top * pitch + region.left * kBytesPerPixel;
    for (int i = 0; i < BufferTurns::kBuffers; ++i) {
        Buffer& buffer = buffers_[i];
        buffer = Buffer{wl_shm_pool_create_buffer(pools[i], offset, region.right - region.left,
                                                  region.bottom - region.top, pitch, WL_SHM_FORMAT_XRGB8888),
                        false, i, turns};
        wl_buffer_add_listener(buffer.buffer, &bufferEvents, &buffer);
    }
}

void Output::DropBuffers() {
    for (Buffer& buffer : buffers_) {
        if (buffer.buffer == nullptr) continue;
        // A destroyed buffer is never released: its hold ends here.
        if (buffer.held) buffer.turns->Released(buffer.index);
        wl_buffer_destroy(buffer.buffer);
        buffer = Buffer{};
    }
}

void Output::ShowPainted(wl_buffer* buffer) {
    static const wl_buffer_listener paintedEvents{
        .release = [](void*, wl_buffer* released) { wl_buffer_destroy(released); },
    };
    wl_buffer_add_listener(buffer, &paintedEvents, nullptr);
    if (!configured_) {
        wl_buffer_destroy(buffer);
        return;
    }
    wl_surface_attach(surface_, buffer, 0, 0);
    wl_surface_damage_buffer(surface_, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface_);
    shownAll_ = false;
}

int Output::Show(int buffer, const RECT* areas, int count, bool all) {
    Buffer& shown = buffers_[buffer];
    if (!configured_ || shown.buffer == nullptr) return 0;
    wl_surface_attach(surface_, shown.buffer, 0, 0);
    if (all || !shownAll_) {
        wl_surface_damage_buffer(surface_, 0, 0, region_.right - region_.left, region_.bottom - region_.top);
    } else {
        bool damaged = false;
        for (int i = 0; i < count; ++i) {
            RECT common;
            if (!IntersectRect(&common, &areas[i], &region_)) continue;
            wl_surface_damage_buffer(surface_, common.left - region_.left, common.top - region_.top,
                                     common.right - common.left, common.bottom - common.top);
            damaged = true;
        }
        // Without damage a compositor may keep reading the buffer it has and
        // let go of this one instead; held by one output after another, every
        // buffer would stay held. A pixel of damage makes it take this one.
        if (!damaged) wl_surface_damage_buffer(surface_, 0, 0, 1, 1);
    }
    if (frame_ == nullptr) {
        static const wl_callback_listener frameEvents{.done = FrameDone};
        frame_ = wl_surface_frame(surface_);
        frameAskedMs_ = SDL_GetTicks64();
        wl_callback_add_listener(frame_, &frameEvents, this);
    }
    wl_surface_commit(surface_);
    shownAll_ = true;
    // Attaching a held buffer again holds it once still.
    const int added = shown.held ? 0 : 1;
    shown.held = true;
    return added;
}

}  // namespace win32user
