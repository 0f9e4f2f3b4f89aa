// A Wayland compositor in a thread of the test that offers only some of what
// the saver needs, and nothing behind what it offers.
#pragma once

#include <memory>

namespace vantel_test {

struct Offer {
    bool compositor;  // wl_compositor, version 4
    bool shm;         // wl_shm
    bool xrgb;        // XRGB8888 among wl_shm's formats (ARGB8888 always)
    bool shell;       // xdg_wm_base
};

class LackingCompositor {
public:
    // Listens on `socket` in XDG_RUNTIME_DIR until destroyed.
    LackingCompositor(const char* socket, Offer offer);
    ~LackingCompositor();
    LackingCompositor(const LackingCompositor&) = delete;
    LackingCompositor& operator=(const LackingCompositor&) = delete;

private:
    struct Server;
    std::unique_ptr<Server> server_;
};

}  // namespace vantel_test
