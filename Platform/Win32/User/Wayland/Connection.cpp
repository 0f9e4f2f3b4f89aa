#include "Platform/Win32/User/Wayland/Connection.h"

#include <poll.h>

#include <cerrno>
#include <cstdio>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {

Connection::Connection(wl_display* display, const char* name)
    : display_(display),
      name_(name),
      queue_(wl_display_create_queue(display)),
      wrapper_(static_cast<wl_display*>(wl_proxy_create_wrapper(display))) {
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper_), queue_);
}

Connection::~Connection() {
    wl_proxy_wrapper_destroy(wrapper_);
    wl_event_queue_destroy(queue_);
}

void Connection::Lost() {
    // Whatever came next, the exit handlers too, would only meet the dead
    // connection again.
    std::fprintf(stderr, "%s: lost the connection to the Wayland display %s\n", Win32ProgramName(), name_);
    Win32EndProcessAtOnce(1);
}

void Connection::Flush() {
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) Lost();
}

void Connection::Dispatch(int timeoutMs, const sigset_t* during) {
    // Events already read into our queue come first.
    while (wl_display_prepare_read_queue(display_, queue_) != 0) {
        if (wl_display_dispatch_queue_pending(display_, queue_) < 0) Lost();
        timeoutMs = 0;
    }
    Flush();
    pollfd socket{wl_display_get_fd(display_), POLLIN, 0};
    const timespec timeout{timeoutMs / 1000, timeoutMs % 1000 * 1'000'000L};
    const int ready = ppoll(&socket, 1, timeoutMs >= 0 ? &timeout : nullptr, during);
    if (ready > 0) {
        if (wl_display_read_events(display_) < 0) Lost();
    } else {
        wl_display_cancel_read(display_);
        if (ready < 0 && errno != EINTR) Lost();
    }
    if (wl_display_dispatch_queue_pending(display_, queue_) < 0) Lost();
}

void Connection::Roundtrip() {
    if (wl_display_roundtrip_queue(display_, queue_) < 0) Lost();
}

}  // namespace win32user
