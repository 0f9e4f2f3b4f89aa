// A window's pixels on Wayland: two image buffers in shared memory (wl_shm)
// taken in turns, shown on a full-screen surface of ours on every output,
// damage per changed area (whole on full-screen toplevels of several
// outputs), paced by the compositor's frame callbacks.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Platform/Win32/User/Wayland/BufferTurns.h"
#include "Platform/Win32/User/Wayland/Connection.h"
#include "Platform/Win32/User/Wayland/Globals.h"
#include "Platform/Win32/User/Wayland/Session.h"
#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

constexpr int kBytesPerPixel = 4;

struct Memory {
    BYTE* bits = nullptr;
    wl_shm_pool* pool = nullptr;
};

// `bytes` of memory shared with the compositor, and its pool over them;
// none (null bits) when they cannot be had. The memory is named after the
// program and its `use`, as the system's listings of it show.
Memory ShareMemory(wl_shm* shm, const char* use, std::size_t bytes) {
    if (bytes > INT_MAX) return {};
    const std::string name = std::string(Win32ProgramName()) + "-" + use;
    const int fd = memfd_create(name.c_str(), MFD_CLOEXEC);
    if (fd < 0) return {};
    void* bits = ftruncate(fd, static_cast<off_t>(bytes)) == 0
                     ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
    Memory memory;
    // The pool keeps the memory for the buffers made from it.
    if (bits != MAP_FAILED)
        memory =
            Memory{static_cast<BYTE*>(bits), wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes))};
    close(fd);
    return memory;
}

class WaylandWindowPixels final : public WindowPixels {
public:
    WaylandWindowPixels(Connection* connection, Globals* globals, SDL_Window* window)
        : connection_(*connection), globals_(*globals), window_(window) {}
    ~WaylandWindowPixels() override { DropMemory(); }
    WaylandWindowPixels(const WaylandWindowPixels&) = delete;
    WaylandWindowPixels& operator=(const WaylandWindowPixels&) = delete;

    int BitsPerPixel() override { return kBytesPerPixel * 8; }
    Win32ImageStatus Image(Win32WindowImage* image) override;
    bool Show(const RECT* areas, int count, bool all) override;
    bool PacesFrames() override { return true; }
    bool Colours(const DWORD* xrgb, int count, DWORD* pixels) override {
        for (int i = 0; i < count; ++i) pixels[i] = xrgb[i] & 0xFFFFFF;
        return true;
    }
    bool Paint(BYTE red, BYTE green, BYTE blue) override;

private:
    bool MakeMemory(int width, int height);
    void DropMemory();
    // Gives every output the buffers of its part of the image, when the
    // outputs or the image changed.
    void FollowOutputs(bool imageChanged);
    // Where the image's top left lies among the outputs.
    POINT ImageOrigin();
    // The part of an image of `width` x `height` pixels from `origin` on that
    // `output` shows; empty for none.
    static RECT RegionOf(const Output& output, POINT origin, int width, int height);
    // Hands out a buffer the compositor no longer reads, brought up to date.
    int Acquire();
    // Waits, a while at most, until an output showing the image has
    // repainted since the last show: outputs switched off repaint never.
    void AwaitFrame();
    bool AllAwaitingFrames();
    void Report(const std::string& why);

    Connection& connection_;
    Globals& globals_;
    SDL_Window* window_;
    BufferTurns turns_;
    Memory memory_[BufferTurns::kBuffers];
    std::size_t bytes_ = 0;
    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    std::uint64_t memoryId_ = 0;
    unsigned seenChanges_ = 0;  // of the outputs, when their buffers were made
    bool reported_ = false;
};

void WaylandWindowPixels::Report(const std::string& why) {
    if (!reported_)
        std::fprintf(stderr, "%s: cannot draw into the window on Wayland display %s: %s\n",
                     Win32ProgramName(), std::getenv("WAYLAND_DISPLAY"), why.c_str());
    reported_ = true;
}

bool WaylandWindowPixels::MakeMemory(int width, int height) {
    // Rows 16 pixels apart, as the rasterizers draw them.
    pitch_ = ((width + 15) & ~15) * kBytesPerPixel;
    // The compositor takes a buffer's every row to be a whole pitch long,
    // also the last row of an output right of the image's left edge: one
    // row more than the image.
    bytes_ = static_cast<std::size_t>(pitch_) * (static_cast<std::size_t>(height) + 1);
    for (Memory& memory : memory_) {
        memory = ShareMemory(globals_.Shm(), "frame", bytes_);
        if (memory.bits == nullptr) return false;
    }
    width_ = width;
    height_ = height;
    turns_.Reset();
    FollowOutputs(true);
    return true;
}

void WaylandWindowPixels::DropMemory() {
    for (auto& output : globals_.Outputs()) output->DropBuffers();
    for (Memory& memory : memory_) {
        if (memory.pool != nullptr) wl_shm_pool_destroy(memory.pool);
        if (memory.bits != nullptr) munmap(memory.bits, bytes_);
        memory = Memory{};
    }
    width_ = 0;
    height_ = 0;
}

POINT WaylandWindowPixels::ImageOrigin() {
    // The top left of all the outputs, as the display bounds, which sized
    // the window, have it.
    bool any = false;
    POINT origin{0, 0};
    for (auto& output : globals_.Outputs()) {
        RECT place;
        if (!output->Placed(&place)) continue;
        origin = any ? POINT{std::min(origin.x, place.left), std::min(origin.y, place.top)}
                     : POINT{place.left, place.top};
        any = true;
    }
    return origin;
}

RECT WaylandWindowPixels::RegionOf(const Output& output, POINT origin, int width, int height) {
    RECT place;
    RECT region{};
    if (!output.Placed(&place)) return region;
    const RECT moved{place.left - origin.x, place.top - origin.y, place.right - origin.x,
                     place.bottom - origin.y};
    return AreaInImage(&moved, width, height, &region) ? region : RECT{};
}

void WaylandWindowPixels::FollowOutputs(bool imageChanged) {
    const unsigned changes = globals_.Changes();
    if (changes == seenChanges_ && !imageChanged) return;
    seenChanges_ = changes;
    const POINT origin = ImageOrigin();
    wl_shm_pool* pools[BufferTurns::kBuffers];
    for (int i = 0; i < BufferTurns::kBuffers; ++i) pools[i] = memory_[i].pool;
    for (auto& output : globals_.Outputs())
        output->MakeBuffers(pools, pitch_, RegionOf(*output, origin, width_, height_), &turns_);
}

bool WaylandWindowPixels::Paint(BYTE red, BYTE green, BYTE blue) {
    NoteLost();
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    const POINT origin = ImageOrigin();
    // One picture of the colour as large as the largest output's part,
    // which every output shows the top left of.
    int widest = 0;
    int tallest = 0;
    for (auto& output : globals_.Outputs()) {
        const RECT region = RegionOf(*output, origin, width, height);
        widest = std::max(widest, static_cast<int>(region.right - region.left));
        tallest = std::max(tallest, static_cast<int>(region.bottom - region.top));
    }
    if (widest == 0 || tallest == 0) return true;
    const std::size_t bytes =
        static_cast<std::size_t>(widest) * static_cast<std::size_t>(tallest) * kBytesPerPixel;
    const Memory paint = ShareMemory(globals_.Shm(), "paint", bytes);
    if (paint.bits == nullptr) return false;
    const std::uint32_t pixel = std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
    std::fill_n(reinterpret_cast<std::uint32_t*>(paint.bits), bytes / kBytesPerPixel, pixel);
    for (auto& output : globals_.Outputs()) {
        const RECT region = RegionOf(*output, origin, width, height);
        if (region.right > region.left)
            output->ShowPainted(wl_shm_pool_create_buffer(paint.pool, 0, region.right - region.left,
                                                          region.bottom - region.top, widest * kBytesPerPixel,
                                                          WL_SHM_FORMAT_XRGB8888));
    }
    wl_shm_pool_destroy(paint.pool);
    munmap(paint.bits, bytes);
    connection_.Flush();
    return true;
}

int WaylandWindowPixels::Acquire() {
    int buffer;
    while ((buffer = turns_.Writable()) < 0) connection_.Dispatch(Output::kPatienceMs);
    const BufferTurns::Carry carry = turns_.Take(buffer);
    if (carry.from < 0) return buffer;
    const BYTE* from = memory_[carry.from].bits;
    BYTE* to = memory_[buffer].bits;
    if (carry.whole) {
        std::memcpy(to, from, static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_));
        return buffer;
    }
    for (int i = 0; i < carry.count; ++i) {
        RECT area;
        if (!AreaInImage(&carry.areas[i], width_, height_, &area)) continue;
        const std::size_t offset = static_cast<std::size_t>(area.top) * static_cast<std::size_t>(pitch_) +
                                   static_cast<std::size_t>(area.left) * kBytesPerPixel;
        const auto rowBytes = static_cast<std::size_t>(area.right - area.left) * kBytesPerPixel;
        for (int row = area.top; row < area.bottom; ++row) {
            const std::size_t at = offset + static_cast<std::size_t>(row - area.top) * pitch_;
            std::memcpy(to + at, from + at, rowBytes);
        }
    }
    return buffer;
}

Win32ImageStatus WaylandWindowPixels::Image(Win32WindowImage* image) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    if (width <= 0 || height <= 0) return Win32ImageStatus::NoWindow;
    if (memory_[0].bits == nullptr || width != width_ || height != height_) {
        DropMemory();
        if (!MakeMemory(width, height)) {
            DropMemory();
            Report("no memory for its " + std::to_string(width) + "x" + std::to_string(height) + " frame");
            return Win32ImageStatus::NoMemory;
        }
        memoryId_ = NewImageMemoryId();
        NoteLost();
    }
    FollowOutputs(false);
    const int buffer = turns_.Current() >= 0 ? turns_.Current() : Acquire();
    *image = Win32WindowImage{
        memory_[buffer].bits, pitch_, width_, height_, kBytesPerPixel, 0xFF0000, 0xFF00, 0xFF, 0, memoryId_};
    return Win32ImageStatus::Ready;
}

bool WaylandWindowPixels::AllAwaitingFrames() {
    bool any = false;
    for (auto& output : globals_.Outputs()) {
        if (!output->Shows()) continue;
        if (!output->AwaitingFrame()) return false;
        any = true;
    }
    return any;
}

void WaylandWindowPixels::AwaitFrame() {
    const Uint64 start = SDL_GetTicks64();
    for (;;) {
        const auto waited = static_cast<int>(SDL_GetTicks64() - start);
        if (!AllAwaitingFrames() || waited >= Output::kPatienceMs) return;
        connection_.Dispatch(Output::kPatienceMs - waited);
    }
}

bool WaylandWindowPixels::Show(const RECT* areas, int count, bool all) {
    if (memory_[0].bits == nullptr) return false;
    FollowOutputs(false);
    // A show without a frame drawn shows the last one again.
    if (turns_.Current() < 0) Acquire();
    AwaitFrame();
    // sway repaints exact damage on full-screen toplevels of several outputs
    // wrongly, leaving pieces of the box where it was (and its background
    // where our surface went unrepainted): those are damaged whole. Layer
    // surfaces, and a toplevel alone, come out right with the exact areas.
    const bool several = globals_.Outputs().size() > 1;
    int holds = 0;
    for (auto& output : globals_.Outputs())
        holds += output->Show(turns_.Current(), areas, count, all || (several && !output->Layered()));
    turns_.Shown(areas, count, all, holds);
    connection_.Flush();
    return true;
}

}  // namespace

std::unique_ptr<WindowPixels> MakeWaylandWindowPixels(SDL_Window* window) {
    if (!OnWaylandSession()) return nullptr;
    WaylandGlobals()->Title(SDL_GetWindowTitle(window));
    return std::make_unique<WaylandWindowPixels>(WaylandConnection(), WaylandGlobals(), window);
}

}  // namespace win32user
