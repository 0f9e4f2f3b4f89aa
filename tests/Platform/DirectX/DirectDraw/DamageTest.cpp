// Presentation copies only what changed: after a first full copy, a blit of
// the same surface to the same place copies the surface's damage, and
// anything else about the presentation changing forces a full copy. The
// screen image is scribbled over between presentations, so what a
// presentation copied shows as exactly the pixels that lost the scribble.
#include <SDL.h>

#include <cstring>
#include <functional>

#include "Platform/DirectX/SoftwareDevice.h"
#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

constexpr int kScreenWidth = 160;
constexpr int kScreenHeight = 120;
constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kWindowX = 40;
constexpr int kWindowY = 30;
constexpr std::uint32_t kScribble = 0x00DEAD00u;
constexpr std::uint32_t kNew = 0x00ABCDEFu;

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

class DDrawDamageTest : public PresentationTest {
protected:
    DDrawDamageTest() : PresentationTest(kScreenWidth, kScreenHeight) {}

    // A window at kWindowX, kWindowY; the primary clipped to it; a back
    // surface of its size (painted with coordinates at 32 bits), and
    // another surface.
    void Open(int depth = 32) {
        PresentationTest::Open(depth, kWindowX, kWindowY, kWidth, kHeight);
        other_ = Make(BackDesc(kWidth, kHeight));
        if (depth == 32) Write(back_, RECT{0, 0, kWidth, kHeight}, false);
    }
    void Close() override {
        if (device_ != nullptr) device_->Release();
        if (zbuffer_ != nullptr) zbuffer_->Release();
        if (other_ != nullptr) {
            EXPECT_EQ(other_->Release(), 0u);
        }
        device_ = nullptr;
        zbuffer_ = nullptr;
        other_ = nullptr;
        PresentationTest::Close();
    }

    // Locks `rect` of `surface` and writes kNew there (`fresh`) or the
    // coordinate pattern; the back surface's shadow follows.
    void Write(IDirectDrawSurface* surface, RECT rect, bool fresh) {
        DDSURFACEDESC desc = SizedDesc();
        ASSERT_EQ(surface->Lock(&rect, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (LONG y = rect.top; y < rect.bottom; ++y)
            for (LONG x = rect.left; x < rect.right; ++x) {
                const std::uint32_t value = fresh ? kNew : Coordinates(x, y);
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(desc.lpSurface) +
                                                 (y - rect.top) * desc.lPitch)[x - rect.left] = value;
                if (surface == back_) shadow_[y][x] = value;
            }
        ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
    }

    // A software device on the back surface, with a z-buffer; made once.
    IDirect3DDevice2* Device() {
        if (device_ != nullptr) return device_;
        zbuffer_ = Make(ZBufferDesc(kWidth, kHeight));
        EXPECT_EQ(back_->AddAttachedSurface(zbuffer_), DD_OK);
        IDirect3D2* d3d = nullptr;
        EXPECT_EQ(dd_->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d)), S_OK);
        EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRampDevice, back_, &device_), DD_OK);
        d3d->Release();
        return device_;
    }

    HRESULT Present(RECT dest) { return primary_->Blt(&dest, back_, nullptr, DDBLT_WAIT, nullptr); }

    void Scribble() {
        const DDSURFACEDESC screen = Screen();
        for (DWORD y = 0; y < screen.dwHeight; ++y)
            for (DWORD x = 0; x < screen.dwWidth; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(screen.lpSurface) +
                                                 y * screen.lPitch)[x] = kScribble;
    }

    // Every screen pixel inside `copied` or `alsoCopied` shows the back
    // surface placed at `dest`; every other one still shows the scribble.
    void ExpectCopied(const RECT& copied, const RECT& dest, const RECT& alsoCopied = RECT{}) {
        const DDSURFACEDESC screen = Screen();
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                const std::uint32_t expected = Inside(copied, x, y) || Inside(alsoCopied, x, y)
                                                   ? shadow_[y - dest.top][x - dest.left]
                                                   : kScribble;
                ASSERT_EQ(PixelAt(screen, x, y), expected) << x << "," << y;
            }
    }

    IDirectDrawSurface* other_ = nullptr;
    IDirectDrawSurface* zbuffer_ = nullptr;
    IDirect3DDevice2* device_ = nullptr;
    std::uint32_t shadow_[kHeight][kWidth]{};
};

constexpr RECT kAtWindow{kWindowX, kWindowY, kWindowX + kWidth, kWindowY + kHeight};
constexpr RECT kNothing{0, 0, 0, 0};

// A rectangle of the back surface, placed at the window.
constexpr RECT AtWindow(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{kWindowX + left, kWindowY + top, kWindowX + right, kWindowY + bottom};
}

struct Change {
    const char* what;
    std::function<void()> act;
    RECT dest;    // of the next presentation, screen coordinates
    RECT copied;  // what that one copies, screen coordinates
    RECT alsoCopied{};
};

TEST_F(DDrawDamageTest, APresentationCopiesWhatChangedOrEverything) {
    const Change changes[] = {
        {"nothing", [] {}, kAtWindow, kNothing},
        {"a lock and write of a rectangle",
         [this] {
             Write(back_, RECT{5, 6, 20, 15}, true);
         },
         kAtWindow, AtWindow(5, 6, 20, 15)},
        {"two locks apart: each on its own",
         [this] {
             Write(back_, RECT{2, 3, 4, 5}, true);
             Write(back_, RECT{30, 40, 31, 41}, true);
         },
         kAtWindow, AtWindow(2, 3, 4, 5), AtWindow(30, 40, 31, 41)},
        {"three locks: the third with the one it grows least",
         [this] {
             Write(back_, RECT{2, 3, 4, 5}, true);
             Write(back_, RECT{30, 40, 31, 41}, true);
             Write(back_, RECT{5, 6, 6, 7}, true);
         },
         kAtWindow, AtWindow(2, 3, 6, 7), AtWindow(30, 40, 31, 41)},
        {"a blit into a rectangle",
         [this] {
             Write(other_, RECT{0, 0, kWidth, kHeight}, true);
             RECT to{10, 20, 13, 22};
             RECT from{0, 0, 3, 2};
             ASSERT_EQ(back_->Blt(&to, other_, &from, DDBLT_WAIT, nullptr), DD_OK);
             for (int y = 20; y < 22; ++y)
                 for (int x = 10; x < 13; ++x) shadow_[y][x] = kNew;
         },
         kAtWindow, AtWindow(10, 20, 13, 22)},
        {"a restore", [this] { ASSERT_EQ(back_->Restore(), DD_OK); }, kAtWindow, kAtWindow},
        {"a loss and restore",
         [this] {
             DxFault::MarkSurfaceLost(back_);
             ASSERT_EQ(back_->Restore(), DD_OK);
         },
         kAtWindow, kAtWindow},
        {"a device's drawing, clipped to the surface",
         [this] {
             SoftwareDeviceDamage(Device(), RECT{-5, 40, 8, 60});
         },
         kAtWindow, AtWindow(0, 40, 8, kHeight)},
        {"another surface presented in between",
         [this] {
             RECT dest = kAtWindow;
             ASSERT_EQ(primary_->Blt(&dest, other_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
         },
         kAtWindow, kAtWindow},
        {"the destination moved", [] {}, AtWindow(-3, 2, kWidth - 3, kHeight + 2),
         AtWindow(0, 2, kWidth - 3, kHeight)},
        {"the window moved",
         [this] { SDL_SetWindowPosition(Win32SdlWindow(window_), kWindowX + 4, kWindowY + 3); }, kAtWindow,
         AtWindow(4, 3, kWidth, kHeight)},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        Open();
        if (HasFatalFailure()) return;
        ASSERT_EQ(Present(kAtWindow), DD_OK);
        Scribble();
        c.act();
        ASSERT_EQ(Present(c.dest), DD_OK);
        ExpectCopied(c.copied, c.dest, c.alsoCopied);
        // Nothing changed since: nothing is copied.
        Scribble();
        ASSERT_EQ(Present(c.dest), DD_OK);
        ExpectCopied(kNothing, c.dest);
        Close();
    }
}

struct Counted {
    const char* what;
    std::function<void()> act;
    int foreign;  // how much the count of foreign writes grows
    int drawn;
};

TEST_F(DDrawDamageTest, TheDeviceTellsForeignWritesFromDrawing) {
    Open();
    if (HasFatalFailure()) return;
    Device();
    const Counted writes[] = {
        {"a lock of the render surface",
         [this] {
             Write(back_, RECT{0, 0, 1, 1}, true);
         },
         1, 0},
        {"a lock of its z-buffer",
         [this] {
             DDSURFACEDESC desc = SizedDesc();
             ASSERT_EQ(zbuffer_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
             ASSERT_EQ(zbuffer_->Unlock(nullptr), DD_OK);
         },
         1, 0},
        {"a refused lock",
         [this] {
             DDSURFACEDESC desc = SizedDesc();
             RECT outside{0, 0, kWidth + 1, 1};
             ASSERT_EQ(back_->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
         },
         0, 0},
        {"a blit into it",
         [this] { ASSERT_EQ(back_->Blt(nullptr, other_, nullptr, DDBLT_WAIT, nullptr), DD_OK); }, 1, 0},
        {"a blit out of it",
         [this] { ASSERT_EQ(other_->Blt(nullptr, back_, nullptr, DDBLT_WAIT, nullptr), DD_OK); }, 0, 0},
        {"a presentation", [this] { ASSERT_EQ(Present(kAtWindow), DD_OK); }, 0, 0},
        {"a loss", [this] { DxFault::MarkSurfaceLost(back_); }, 1, 0},
        {"a restore", [this] { ASSERT_EQ(back_->Restore(), DD_OK); }, 1, 0},
        {"reported drawing",
         [this] {
             SoftwareDeviceDamage(device_, RECT{1, 2, 3, 4});
         },
         0, 1},
    };
    for (const Counted& w : writes) {
        SCOPED_TRACE(w.what);
        SoftwareSurfaceWrites before{}, after{};
        ASSERT_TRUE(SoftwareDeviceWrites(device_, &before));
        w.act();
        ASSERT_TRUE(SoftwareDeviceWrites(device_, &after));
        EXPECT_EQ(after.foreign - before.foreign, static_cast<std::uint64_t>(w.foreign));
        EXPECT_EQ(after.drawn - before.drawn, static_cast<std::uint64_t>(w.drawn));
        EXPECT_EQ(after.palette, 0u);
    }
}

TEST_F(DDrawDamageTest, NewPaletteColoursAreCopiedEverywhere) {
    Open(8);
    if (HasFatalFailure()) return;
    PALETTEENTRY entries[256]{};
    entries[1] = {0x12, 0x34, 0x56, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < kHeight; ++y)
        std::memset(static_cast<std::uint8_t*>(desc.lpSurface) + y * desc.lPitch, 1, kWidth);
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    // The colour every presented pixel shows, or the scribble when none.
    const auto expectEverywhere = [&](std::uint32_t inside) {
        const DDSURFACEDESC screen = Screen();
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x)
                ASSERT_EQ(PixelAt(screen, x, y), Inside(kAtWindow, x, y) ? inside : kScribble)
                    << x << "," << y;
    };
    ASSERT_EQ(Present(kAtWindow), DD_OK);
    Scribble();
    ASSERT_EQ(Present(kAtWindow), DD_OK);
    expectEverywhere(kScribble);
    entries[1] = {0x65, 0x43, 0x21, 0};
    ASSERT_EQ(palette->SetEntries(0, 1, 1, &entries[1]), DD_OK);
    ASSERT_EQ(Present(kAtWindow), DD_OK);
    expectEverywhere(0x00654321u);
    palette->Release();
}

}  // namespace
