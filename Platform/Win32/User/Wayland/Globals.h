// What the compositor offers us: the globals a window's pixels need, the
// outputs as they come and go, and the seat's input.
#pragma once

#include <wayland-client.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Win32/User/Wayland/Connection.h"
#include "Platform/Win32/User/Wayland/Input.h"
#include "Platform/Win32/User/Wayland/Output.h"

namespace win32user {

class Globals {
public:
    // Asks the compositor, on `connection`'s queue, what it offers; input
    // goes to the active window.
    explicit Globals(Connection* connection);
    ~Globals();
    Globals(const Globals&) = delete;
    Globals& operator=(const Globals&) = delete;

    // Why the compositor cannot show our frames; empty when it can.
    const std::string& Problem() const { return problem_; }
    wl_shm* Shm() const { return shm_; }
    std::vector<std::unique_ptr<Output>>& Outputs() { return outputs_; }
    // A count of the outputs' comings, goings and moves: a new value means
    // they changed.
    unsigned Changes();
    // Names our toplevels, now and on outputs still to come, after the
    // window they show (its title, as the program gave it).
    void Title(const char* title);
    // Makes our surface on every output, now and on outputs still to come.
    // None before: a copy that finds another one running leaves no trace.
    void MakeSurfaces();

private:
    static void Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                          std::uint32_t version);
    static void Withdrawn(void* data, wl_registry* registry, std::uint32_t name);
    static void Format(void* data, wl_shm*, std::uint32_t format);
    void AddOutput(std::uint32_t name);

    Connection* connection_;
    wl_registry* registry_;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    xdg_wm_base* shell_ = nullptr;
    zwlr_layer_shell_v1* layers_ = nullptr;
    zxdg_output_manager_v1* placer_ = nullptr;
    bool xrgb_ = false;
    bool started_ = false;                // every global at the start is known
    bool surfacing_ = false;              // our surfaces are wanted
    std::vector<std::uint32_t> waiting_;  // outputs announced before that
    std::vector<std::unique_ptr<Output>> outputs_;
    std::unique_ptr<Input> input_;
    unsigned changes_ = 0;
    std::string problem_;
    std::string title_;
};

}  // namespace win32user
