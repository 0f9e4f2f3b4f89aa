#include "LackingCompositor.h"

#include <wayland-server.h>

#include <thread>

#include "Platform/Win32/User/Wayland/xdg-shell-client-protocol.h"

namespace vantel_test {

struct LackingCompositor::Server {
    wl_display* display = wl_display_create();
    Offer offer{};
    std::thread loop;
};

namespace {

// A bound global that takes no requests: none is made in these tests.
void BindMute(wl_client* client, void*, std::uint32_t version, std::uint32_t id,
              const wl_interface* interface) {
    wl_resource* resource = wl_resource_create(client, interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, nullptr, nullptr, nullptr);
}

}  // namespace

LackingCompositor::LackingCompositor(const char* socket, Offer offer) : server_(std::make_unique<Server>()) {
    wl_display* display = server_->display;
    server_->offer = offer;
    wl_display_add_socket(display, socket);
    if (offer.compositor)
        wl_global_create(display, &wl_compositor_interface, 4, nullptr,
                         [](wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
                             BindMute(client, data, version, id, &wl_compositor_interface);
                         });
    if (offer.shm)
        wl_global_create(display, &wl_shm_interface, 1, &server_->offer,
                         [](wl_client* client, void* data, std::uint32_t, std::uint32_t id) {
                             wl_resource* shm = wl_resource_create(client, &wl_shm_interface, 1, id);
                             wl_resource_set_implementation(shm, nullptr, nullptr, nullptr);
                             wl_shm_send_format(shm, WL_SHM_FORMAT_ARGB8888);
                             if (static_cast<Offer*>(data)->xrgb)
                                 wl_shm_send_format(shm, WL_SHM_FORMAT_XRGB8888);
                         });
    if (offer.shell)
        wl_global_create(display, &xdg_wm_base_interface, 1, nullptr,
                         [](wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
                             BindMute(client, data, version, id, &xdg_wm_base_interface);
                         });
    server_->loop = std::thread([display] { wl_display_run(display); });
}

LackingCompositor::~LackingCompositor() {
    wl_display_terminate(server_->display);
    server_->loop.join();
    wl_display_destroy(server_->display);
}

}  // namespace vantel_test
