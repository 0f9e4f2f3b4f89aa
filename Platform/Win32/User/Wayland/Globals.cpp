#include "Platform/Win32/User/Wayland/Globals.h"

#include <algorithm>
#include <cstring>

namespace win32user {
namespace {

// damage_buffer came with version 4.
constexpr std::uint32_t kCompositorVersion = 4;
// The version whose logical size is in the compositor's own units.
constexpr std::uint32_t kPlacerVersion = 2;
// The first version whose shell can be destroyed.
constexpr std::uint32_t kLayersVersion = 3;

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, version));
}

}  // namespace

Globals::Globals(Connection* connection)
    : connection_(connection), registry_(wl_display_get_registry(connection->Wrapper())) {
    static const wl_registry_listener registryEvents{.global = Announced, .global_remove = Withdrawn};
    wl_registry_add_listener(registry_, &registryEvents, this);
    // The globals first, then what they say of themselves (formats).
    connection_->Roundtrip();
    connection_->Roundtrip();
    if (compositor_ == nullptr)
        problem_ = "the compositor offers no wl_compositor of version 4";
    else if (shm_ == nullptr)
        problem_ = "the compositor offers no shared memory (wl_shm)";
    else if (!xrgb_)
        problem_ = "the compositor's shared memory takes no XRGB8888 pixels";
    else if (shell_ == nullptr && layers_ == nullptr)
        problem_ = "the compositor offers no xdg_wm_base";
    if (!problem_.empty()) return;
    started_ = true;
    for (std::uint32_t name : waiting_) AddOutput(name);
    waiting_.clear();
    // Where the outputs lie.
    connection_->Roundtrip();
}

Globals::~Globals() {
    input_.reset();
    outputs_.clear();
    if (placer_ != nullptr) zxdg_output_manager_v1_destroy(placer_);
    if (layers_ != nullptr) zwlr_layer_shell_v1_destroy(layers_);
    if (shell_ != nullptr) xdg_wm_base_destroy(shell_);
    if (shm_ != nullptr) wl_shm_destroy(shm_);
    if (compositor_ != nullptr) wl_compositor_destroy(compositor_);
    wl_registry_destroy(registry_);
}

unsigned Globals::Changes() {
    for (auto& output : outputs_) {
        if (output->TakeMoved()) ++changes_;
    }
    return changes_;
}

void Globals::Title(const char* title) {
    title_ = title != nullptr ? title : "";
    for (auto& output : outputs_) output->Title(title_);
}

void Globals::MakeSurfaces() {
    if (surfacing_) return;
    surfacing_ = true;
    for (auto& output : outputs_) output->MakeSurface(compositor_, layers_, shell_, title_);
    // How the compositor will show them, before any window draws.
    connection_->Roundtrip();
}

void Globals::AddOutput(std::uint32_t name) {
    outputs_.push_back(std::make_unique<Output>(registry_, name, placer_));
    if (surfacing_) outputs_.back()->MakeSurface(compositor_, layers_, shell_, title_);
    ++changes_;
}

void Globals::Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                        std::uint32_t version) {
    auto* self = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= kCompositorVersion) {
        self->compositor_ = Bind<wl_compositor>(registry, name, &wl_compositor_interface, kCompositorVersion);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        static const wl_shm_listener shmEvents{.format = Format};
        self->shm_ = Bind<wl_shm>(registry, name, &wl_shm_interface, 1);
        wl_shm_add_listener(self->shm_, &shmEvents, self);
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        static const xdg_wm_base_listener shellEvents{
            .ping = [](void*, xdg_wm_base* shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); },
        };
        self->shell_ = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, 1);
        xdg_wm_base_add_listener(self->shell_, &shellEvents, self);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && version >= kLayersVersion) {
        self->layers_ =
            Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, kLayersVersion);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 &&
               version >= kPlacerVersion) {
        self->placer_ =
            Bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, kPlacerVersion);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->input_ == nullptr) {
        self->input_ = std::make_unique<Input>(
            Bind<wl_seat>(registry, name, &wl_seat_interface, std::min(version, Input::kSeatVersion)),
            &self->outputs_);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        // Our surface on it needs the shell and the output's place the
        // placer, either of which may be announced after it.
        if (!self->started_)
            self->waiting_.push_back(name);
        else
            self->AddOutput(name);
    }
}

void Globals::Withdrawn(void* data, wl_registry*, std::uint32_t name) {
    auto* self = static_cast<Globals*>(data);
    std::erase(self->waiting_, name);
    const auto gone =
        std::erase_if(self->outputs_, [name](const auto& output) { return output->Name() == name; });
    if (gone > 0) ++self->changes_;
}

void Globals::Format(void* data, wl_shm*, std::uint32_t format) {
    if (format == WL_SHM_FORMAT_XRGB8888) static_cast<Globals*>(data)->xrgb_ = true;
}

}  // namespace win32user
