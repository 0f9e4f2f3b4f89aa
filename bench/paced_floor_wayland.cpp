// paced_floor_wayland: the paced floor on Wayland, a full-screen xdg
// toplevel on the display WAYLAND_DISPLAY names until SIGTERM: two wl_shm
// buffers in turns, and at each frame callback the patch cleared where that
// buffer last had it and filled where it is now, with the patch's old and
// new place as the damage.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "bench/PacedFloor.h"
#include "xdg-shell-client-protocol.h"

namespace {

struct Buffer {
    wl_buffer* buffer = nullptr;
    std::uint8_t* bits = nullptr;
    bool busy = false;
    int patchX = -1;  // where this buffer's patch is; -1 for none
    int patchY = -1;
};

struct Client {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    int width = 0;  // as the compositor configures the toplevel, else the output's mode
    int height = 0;
    int outputWidth = 0;
    int outputHeight = 0;
    bool configured = false;
    bool frameDue = true;
};

void Geometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              const char*, const char*, std::int32_t) {}
void Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
          std::int32_t) {
    auto* client = static_cast<Client*>(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        client->outputWidth = width;
        client->outputHeight = height;
    }
}
wl_output_listener OutputListener() {
    wl_output_listener listener{};
    listener.geometry = Geometry;
    listener.mode = Mode;
    return listener;
}
const wl_output_listener outputListener = OutputListener();

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    auto* client = static_cast<Client*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        client->compositor =
            static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        client->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        client->shell =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (std::strcmp(interface, wl_output_interface.name) == 0 && client->outputWidth == 0)
        wl_output_add_listener(
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 1)),
            &outputListener, client);
}
void GlobalGone(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener{Global, GlobalGone};

void Ping(void*, xdg_wm_base* shell, std::uint32_t serial) {
    xdg_wm_base_pong(shell, serial);
}
const xdg_wm_base_listener shellListener{Ping};

void SurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    static_cast<Client*>(data)->configured = true;
}
const xdg_surface_listener surfaceListener{SurfaceConfigure};

void ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
    auto* client = static_cast<Client*>(data);
    if (width > 0 && height > 0) {
        client->width = width;
        client->height = height;
    }
}
void ToplevelClose(void*, xdg_toplevel*) {}
// Set member by member: later versions of the protocol add events, which
// the version bound here never sends.
xdg_toplevel_listener ToplevelListener() {
    xdg_toplevel_listener listener{};
    listener.configure = ToplevelConfigure;
    listener.close = ToplevelClose;
    return listener;
}
const xdg_toplevel_listener toplevelListener = ToplevelListener();

void Released(void* data, wl_buffer*) {
    static_cast<Buffer*>(data)->busy = false;
}
const wl_buffer_listener bufferListener{Released};

void FrameDone(void* data, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    static_cast<Client*>(data)->frameDue = true;
}
const wl_callback_listener frameListener{FrameDone};

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "paced_floor_wayland: no Wayland display\n");
        return 1;
    }
    Client client;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &client);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    if (client.compositor == nullptr || client.shm == nullptr || client.shell == nullptr) {
        std::fprintf(stderr, "paced_floor_wayland: no compositor, wl_shm or xdg_wm_base\n");
        return 1;
    }
    xdg_wm_base_add_listener(client.shell, &shellListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(client.compositor);
    xdg_surface* shellSurface = xdg_wm_base_get_xdg_surface(client.shell, surface);
    xdg_surface_add_listener(shellSurface, &surfaceListener, &client);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(shellSurface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, &client);
    xdg_toplevel_set_fullscreen(toplevel, nullptr);
    wl_surface_commit(surface);
    while (!client.configured && wl_display_dispatch(display) >= 0) continue;
    const int width = client.width > 0 ? client.width : client.outputWidth;
    const int height = client.width > 0 ? client.height : client.outputHeight;
    if (width == 0) {
        std::fprintf(stderr, "paced_floor_wayland: neither the compositor nor an output gave a size\n");
        return 1;
    }

    const int pitch = width * 4;
    const std::size_t bytes = static_cast<std::size_t>(pitch) * height;
    const int fd = memfd_create("paced-floor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes * 2)) != 0) return 1;
    auto* memory =
        static_cast<std::uint8_t*>(mmap(nullptr, bytes * 2, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    wl_shm_pool* pool = wl_shm_create_pool(client.shm, fd, static_cast<std::int32_t>(bytes * 2));
    Buffer buffers[2];
    for (int i = 0; i < 2; ++i) {
        buffers[i].bits = memory + bytes * i;
        buffers[i].buffer = wl_shm_pool_create_buffer(pool, static_cast<std::int32_t>(bytes * i), width,
                                                      height, pitch, WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(buffers[i].buffer, &bufferListener, &buffers[i]);
    }

    bench::EndOnTerm();
    bench::Patch patch(width, height);
    bool first = true;
    while (!bench::ending) {
        while ((!client.frameDue || (buffers[0].busy && buffers[1].busy)) && !bench::ending)
            if (wl_display_dispatch(display) < 0) return 1;
        Buffer& buffer = buffers[0].busy ? buffers[1] : buffers[0];
        const int shownX = patch.X();
        const int shownY = patch.Y();
        if (buffer.patchX >= 0) patch.Fill(buffer.bits, pitch, buffer.patchX, buffer.patchY, 0);
        patch.Move();
        patch.Fill(buffer.bits, pitch, patch.X(), patch.Y(), 0x3366CC);
        buffer.patchX = patch.X();
        buffer.patchY = patch.Y();
        const int left = std::min(shownX, patch.X());
        const int top = std::min(shownY, patch.Y());
        wl_surface_attach(surface, buffer.buffer, 0, 0);
        if (first)
            wl_surface_damage_buffer(surface, 0, 0, width, height);
        else
            wl_surface_damage_buffer(surface, left, top, std::max(shownX, patch.X()) + patch.Side() - left,
                                     std::max(shownY, patch.Y()) + patch.Side() - top);
        first = false;
        wl_callback_add_listener(wl_surface_frame(surface), &frameListener, &client);
        client.frameDue = false;
        buffer.busy = true;
        wl_surface_commit(surface);
        wl_display_flush(display);
    }
    wl_display_disconnect(display);
    return 0;
}
