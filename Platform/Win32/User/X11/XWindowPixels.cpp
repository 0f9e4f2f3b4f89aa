// A window's pixels on X11: an image of our own in the window's visual, put
// through shared memory (MIT-SHM) where the server offers it and sent with
// the request otherwise, and colours from the window's colormap.
//
// Shared images are put on a connection of our own: the server says on it
// when it has read a put (ShmCompletion), and nobody else reads its events,
// so the next frame waits for that word instead of a round trip, and only
// when it is drawn before the server got to the last one.
#include <SDL_syswm.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/User/X11/XErrors.h"
#include "Platform/Win32/User/X11/XVisual.h"
#include "Platform/Win32/Win32Extensions.h"

namespace win32user {
namespace {

constexpr int kNativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// An 8-bit channel of 0x00RRGGBB at `shift`, as X's 16-bit intensity.
unsigned short Intensity(DWORD xrgb, int shift) {
    return static_cast<unsigned short>((xrgb >> shift & 0xFF) * 257);
}

int SquaredDistance(DWORD a, DWORD b) {
    const int dr = static_cast<int>(a >> 16 & 0xFF) - static_cast<int>(b >> 16 & 0xFF);
    const int dg = static_cast<int>(a >> 8 & 0xFF) - static_cast<int>(b >> 8 & 0xFF);
    const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// Whether the cells of a colormap of `visual` can be allocated and freed.
bool WritableColormap(const VisualFacts& visual) {
    return visual.visualClass == PseudoColor || visual.visualClass == GrayScale ||
           visual.visualClass == DirectColor;
}

DWORD XrgbOf(const XColor& cell) {
    return (DWORD{cell.red} >> 8) << 16 | (DWORD{cell.green} >> 8) << 8 | DWORD{cell.blue} >> 8;
}

class XWindowPixels final : public WindowPixels {
public:
    XWindowPixels(Display* display, Window window, SDL_Window* sdl, bool adopted);
    ~XWindowPixels() override;
    XWindowPixels(const XWindowPixels&) = delete;
    XWindowPixels& operator=(const XWindowPixels&) = delete;

    int BitsPerPixel() override { return ReportedBitsPerPixel(facts_); }
    Win32ImageStatus Image(Win32WindowImage* image) override;
    bool Show(const RECT* areas, int count, bool all) override;
    bool Colours(const DWORD* xrgb, int count, DWORD* pixels) override;
    bool Paint(BYTE red, BYTE green, BYTE blue) override;

private:
    struct Cell {
        DWORD xrgb;
        unsigned long pixel;
        bool held;  // allocated for this colour, so it keeps it
    };

    bool MakeImage(int width, int height);
    bool MakeSharedImage(int width, int height);
    void DropImage();
    // Returns once the server has read the last shared put.
    void AwaitPut();
    void Put(const RECT& area, bool last);
    // The pixel that shows `xrgb`: a cell of the colormap allocated for it,
    // or where none is free, the nearest of the cells allocated here, which
    // keep their colours (others' free cells may change at any time); the
    // nearest of any cell when none could be had at all.
    unsigned long PixelOf(DWORD xrgb);
    unsigned long NearestCell(DWORD xrgb);
    void Report(const std::string& why);
    // Frames for a window already gone: in the screen's own layout, shown
    // nowhere, until the owner's destruction reaches the window's handle.
    void DrawForNothing();

    Display* display_;        // SDL's connection: the window's attributes and colours
    Display* own_ = nullptr;  // ours, for shared puts; null when it cannot be had
    Display* puts_;           // where the image goes: ours, else SDL's
    Window window_;
    SDL_Window* sdl_;
    Visual* visual_ = nullptr;
    VisualFacts facts_{};
    Colormap colormap_ = 0;
    bool writableColormap_ = false;
    std::optional<Win32WindowImage> layout_;
    std::string refusal_;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool shared_ = false;
    int completionEvent_ = -1;
    bool putPending_ = false;  // the server may still read the shared image
    int width_ = 0;            // the window's size; the image may be wider
    int height_ = 0;
    std::uint64_t memoryId_ = 0;
    std::vector<Cell> cells_;           // colours asked for, and the pixel each got
    std::vector<unsigned long> owned_;  // cells allocated here, freed at the end
    bool reported_ = false;
    bool gone_ = false;  // frames go nowhere (DrawForNothing)
};

XWindowPixels::XWindowPixels(Display* display, Window window, SDL_Window* sdl, bool adopted)
    : display_(display), puts_(display), window_(window), sdl_(sdl) {
    // A host may destroy its window at any moment, this one included: what
    // is asked of the window and made for it here is answered here.
    XErrorTrap trap(display_);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window_, &attributes) == 0) {
        // Gone already: its owner destroyed it, which the saver hears of next.
        if (adopted) DrawForNothing();
        return;
    }
    facts_ = FactsOf(display_, attributes.visual, attributes.depth);
    layout_ = ImageLayoutOf(facts_, &refusal_);
    colormap_ = attributes.colormap;
    writableColormap_ = WritableColormap(facts_);
    // SDL gives each window of its own a private colormap, which nobody
    // installs without a window manager: colours allocated there would not
    // show. Ours takes the screen's default colormap where it can.
    const bool palettized = layout_ && layout_->redMask == 0;
    if (!adopted && palettized && attributes.visual == DefaultVisualOfScreen(attributes.screen)) {
        colormap_ = DefaultColormapOfScreen(attributes.screen);
        XSetWindowColormap(display_, window_, colormap_);
    }
    // Asked as Xlib asks for any extension: XShm's own calls would write
    // Xlib's line about it to standard error where the server lacks it.
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (XQueryExtension(display_, "MIT-SHM", &opcode, &eventBase, &errorBase) &&
        ImageByteOrder(display_) == kNativeByteOrder)
        own_ = XOpenDisplay(DisplayString(display_));
    if (own_ != nullptr) {
        puts_ = own_;
        completionEvent_ = XShmGetEventBase(own_) + ShmCompletion;
    }
    // The GC is made on a pixmap of the window's depth, which it fits as
    // well: made on the window, it would not be made once the window is gone.
    XErrorTrap putsTrap(puts_);
    const Pixmap fitting =
        XCreatePixmap(puts_, attributes.root, 1, 1, static_cast<unsigned>(attributes.depth));
    gc_ = XCreateGC(puts_, fitting, 0, nullptr);
    XFreePixmap(puts_, fitting);
    if (putsTrap.Failed()) gc_ = nullptr;
    if (gc_ != nullptr && !trap.Failed()) visual_ = attributes.visual;
}

void XWindowPixels::DrawForNothing() {
    const int screen = DefaultScreen(display_);
    visual_ = DefaultVisual(display_, screen);
    facts_ = FactsOf(display_, visual_, DefaultDepth(display_, screen));
    layout_ = ImageLayoutOf(facts_, &refusal_);
    colormap_ = DefaultColormap(display_, screen);
    writableColormap_ = WritableColormap(facts_);
    gone_ = true;
}

XWindowPixels::~XWindowPixels() {
    DropImage();
    if (!owned_.empty()) {
        XErrorTrap trap(display_);
        XFreeColors(display_, colormap_, owned_.data(), static_cast<int>(owned_.size()), 0);
    }
    if (gc_ != nullptr) {
        XErrorTrap trap(puts_);
        XFreeGC(puts_, gc_);
    }
    if (own_ != nullptr) XCloseDisplay(own_);
}

void XWindowPixels::Report(const std::string& why) {
    if (!reported_)
        std::fprintf(stderr, "%s: cannot draw into window 0x%lx: %s\n", Win32ProgramName(), window_,
                     why.c_str());
    reported_ = true;
}

Win32ImageStatus XWindowPixels::Image(Win32WindowImage* image) {
    if (visual_ == nullptr) return Win32ImageStatus::NoWindow;
    if (!layout_) {
        Report(refusal_);
        return Win32ImageStatus::Unsupported;
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl_, &width, &height);
    if (width <= 0 || height <= 0) return Win32ImageStatus::NoWindow;
    if (image_ == nullptr || width_ != width || height_ != height) {
        DropImage();
        if (!MakeImage(width, height)) {
            Report("no memory for its " + std::to_string(width) + "x" + std::to_string(height) + " frame");
            return Win32ImageStatus::NoMemory;
        }
        width_ = width;
        height_ = height;
        memoryId_ = NewImageMemoryId();
        NoteLost();
    }
    AwaitPut();
    *image = *layout_;
    image->bits = reinterpret_cast<BYTE*>(image_->data);
    image->pitch = image_->bytes_per_line;
    image->width = width;
    image->height = height;
    image->memoryId = memoryId_;
    return Win32ImageStatus::Ready;
}

// Rows 16 bytes apart at any depth, as the rasterizers draw them: the image
// is made up to 15 pixels wider than the window.
int PaddedWidth(int width) {
    return (width + 15) & ~15;
}

bool XWindowPixels::MakeImage(int width, int height) {
    if (MakeSharedImage(width, height)) return true;
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(facts_.depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(PaddedWidth(width)), static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr) return false;
    // Xlib turns the bytes round on the way when the server's order differs.
    image_->byte_order = kNativeByteOrder;
    // Untouched pages of a fresh allocation cost nothing until drawn into.
    image_->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image_->bytes_per_line), height));
    if (image_->data != nullptr) return true;
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
}

bool XWindowPixels::MakeSharedImage(int width, int height) {
    if (own_ == nullptr) return false;
    image_ = XShmCreateImage(own_, visual_, static_cast<unsigned>(facts_.depth), ZPixmap, nullptr, &shm_,
                             static_cast<unsigned>(PaddedWidth(width)), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    const std::size_t bytes =
        static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height);
    shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shm_.shmid >= 0) {
        shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        bool attached = false;
        if (shm_.shmaddr != reinterpret_cast<char*>(-1)) {
            shm_.readOnly = False;
            // A server elsewhere cannot attach our memory and says so with an error.
            XErrorTrap trap(own_);
            attached = XShmAttach(own_, &shm_) != 0 && !trap.Failed();
            if (!attached) shmdt(shm_.shmaddr);
        }
        // The segment goes once both sides have let go of it.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
        if (attached) {
            image_->data = shm_.shmaddr;
            shared_ = true;
            return true;
        }
    }
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
}

void XWindowPixels::DropImage() {
    if (image_ == nullptr) return;
    if (shared_) {
        XShmDetach(own_, &shm_);
        XSync(own_, False);
        putPending_ = false;
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
        shared_ = false;
    }
    XDestroyImage(image_);
    image_ = nullptr;
}

bool XWindowPixels::Show(const RECT* areas, int count, bool all) {
    if (image_ == nullptr) return false;
    if (gone_) return true;
    const RECT whole{0, 0, width_, height_};
    // The last put is held back until it is known to be the last.
    RECT held{};
    bool holding = false;
    for (int i = 0; i < (all ? 1 : count); ++i) {
        RECT shown;
        if (!AreaInImage(all ? &whole : &areas[i], width_, height_, &shown)) continue;
        if (holding) Put(held, false);
        held = shown;
        holding = true;
    }
    if (holding) Put(held, true);
    XFlush(puts_);
    return true;
}

void XWindowPixels::Put(const RECT& area, bool last) {
    const auto width = static_cast<unsigned>(area.right - area.left);
    const auto height = static_cast<unsigned>(area.bottom - area.top);
    if (shared_) {
        // The server reads our memory until it says so after the last put;
        // the puts before it are read by then, in order.
        XShmPutImage(puts_, window_, gc_, image_, area.left, area.top, area.left, area.top, width, height,
                     last ? True : False);
        putPending_ = putPending_ || last;
    } else {
        XPutImage(puts_, window_, gc_, image_, area.left, area.top, area.left, area.top, width, height);
    }
}

void XWindowPixels::AwaitPut() {
    constexpr int kQuietMs = 250;
    while (putPending_) {
        while (putPending_ && XPending(own_) > 0) {
            XEvent event;
            XNextEvent(own_, &event);
            if (event.type == completionEvent_) putPending_ = false;
        }
        if (!putPending_) return;
        pollfd connection{ConnectionNumber(own_), POLLIN, 0};
        if (poll(&connection, 1, kQuietMs) == 0) {
            // A put that failed (its window gone) is never completed: once the
            // server has answered everything before, nothing reads the image.
            XSync(own_, False);
            XEvent stale;
            while (XCheckTypedEvent(own_, completionEvent_, &stale)) continue;
            putPending_ = false;
        }
    }
}

unsigned long XWindowPixels::NearestCell(DWORD xrgb) {
    std::vector<Cell> candidates;
    for (const Cell& cell : cells_) {
        if (cell.held) candidates.push_back(cell);
    }
    if (candidates.empty()) {
        std::vector<XColor> colormap(static_cast<std::size_t>(visual_->map_entries));
        for (std::size_t i = 0; i < colormap.size(); ++i) colormap[i].pixel = i;
        XQueryColors(display_, colormap_, colormap.data(), static_cast<int>(colormap.size()));
        for (const XColor& cell : colormap) candidates.push_back(Cell{XrgbOf(cell), cell.pixel, false});
    }
    unsigned long best = 0;
    int bestDistance = 1 << 30;
    for (const Cell& cell : candidates) {
        const int distance = SquaredDistance(xrgb, cell.xrgb);
        if (distance < bestDistance) {
            best = cell.pixel;
            bestDistance = distance;
        }
    }
    return best;
}

unsigned long XWindowPixels::PixelOf(DWORD xrgb) {
    for (const Cell& cell : cells_) {
        if (cell.xrgb == xrgb) return cell.pixel;
    }
    XColor colour{};
    colour.red = Intensity(xrgb, 16);
    colour.green = Intensity(xrgb, 8);
    colour.blue = Intensity(xrgb, 0);
    colour.flags = DoRed | DoGreen | DoBlue;
    const bool held = XAllocColor(display_, colormap_, &colour) != 0;
    if (held && writableColormap_) owned_.push_back(colour.pixel);
    const unsigned long pixel = held ? colour.pixel : NearestCell(xrgb);
    cells_.push_back(Cell{xrgb, pixel, held});
    return pixel;
}

bool XWindowPixels::Colours(const DWORD* xrgb, int count, DWORD* pixels) {
    if (visual_ == nullptr) return false;
    XErrorTrap trap(display_);
    const unsigned long opaque = layout_ ? layout_->opaqueBits : 0;
    for (int i = 0; i < count; ++i) pixels[i] = static_cast<DWORD>(PixelOf(xrgb[i]) | opaque);
    return !trap.Failed();
}

bool XWindowPixels::Paint(BYTE red, BYTE green, BYTE blue) {
    if (gone_) return true;
    if (gc_ == nullptr) return false;
    const DWORD xrgb = DWORD{red} << 16 | DWORD{green} << 8 | blue;
    DWORD pixel = 0;
    if (!Colours(&xrgb, 1, &pixel)) return false;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdl_, &width, &height);
    XSetForeground(puts_, gc_, pixel);
    XFillRectangle(puts_, window_, gc_, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(puts_);
    NoteLost();
    return true;
}

}  // namespace

std::unique_ptr<WindowPixels> MakeXWindowPixels(SDL_Window* window, bool adopted) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return std::make_unique<XWindowPixels>(info.info.x11.display, info.info.x11.window, window, adopted);
}

}  // namespace win32user
