// Our own event queue on SDL's Wayland connection: SDL dispatches its queue
// and we ours, so neither eats the other's events.
#pragma once

#include <wayland-client.h>

namespace win32user {

class Connection {
public:
    explicit Connection(wl_display* display);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The display, as a proxy whose new objects come to our queue.
    wl_display* Wrapper() const { return wrapper_; }
    // Dispatches our events, waiting for the socket up to `timeoutMs` (0:
    // not at all) when none has come yet. Ends the program when the
    // compositor has gone.
    void Dispatch(int timeoutMs);
    // Sends what was asked and waits until the compositor has answered it.
    void Roundtrip();
    // Sends what was asked, without waiting.
    void Flush();

private:
    [[noreturn]] void Lost();

    wl_display* display_;
    wl_event_queue* queue_;
    wl_display* wrapper_;
};

}  // namespace win32user
