// Our connection to the Wayland compositor (SDL, on its off-screen driver,
// has none), its objects and events on an event queue of our own.
#pragma once

#include <signal.h>
#include <wayland-client.h>

namespace win32user {

class Connection {
public:
    // `name`: the display's, for the line that says it was lost.
    Connection(wl_display* display, const char* name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The display, as a proxy whose new objects come to our queue.
    wl_display* Wrapper() const { return wrapper_; }
    // Dispatches our events, waiting for the socket up to `timeoutMs` (0:
    // not at all; -1: without end) when none has come yet, with the signal
    // mask `during` while it waits when one is given. Ends the program when
    // the compositor has gone.
    void Dispatch(int timeoutMs, const sigset_t* during = nullptr);
    // Sends what was asked and waits until the compositor has answered it.
    void Roundtrip();
    // Sends what was asked, without waiting.
    void Flush();

private:
    [[noreturn]] void Lost();

    wl_display* display_;
    const char* name_;
    wl_event_queue* queue_;
    wl_display* wrapper_;
};

}  // namespace win32user
