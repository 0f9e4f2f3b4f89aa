// A back surface drawn straight into the window's image, against a display
// that holds what it was shown: until the display lets go (the image asked
// for again), the shown memory is read-only, so any write into it ends the
// test. Played once as X11 does (one buffer) and once as Wayland does (two
// buffers in turns, the shown areas carried into the next).
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <memory>

#include "Platform/DirectX/DirectDraw/Surface.h"
#include "Platform/DirectX/DirectDraw/WindowNotes.h"
#include "Platform/Win32/User/WindowPixels.h"
#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 32;
constexpr int kPitch = kWidth * 4;
constexpr std::size_t kBytes = std::size_t{kPitch} * kHeight;

class HoldingDisplay final : public win32user::WindowPixels {
public:
    explicit HoldingDisplay(bool turns) : turns_(turns) { Remake(); }
    ~HoldingDisplay() override { Unmap(); }

    int BitsPerPixel() override { return 32; }
    Win32ImageStatus Image(Win32WindowImage* image) override {
        ++asks;
        LetGo();
        *image = Win32WindowImage{buffers_[current_], kPitch, kWidth, kHeight, 4,
                                  0xFF0000,           0xFF00, 0xFF,   0,       memoryId_};
        return Win32ImageStatus::Ready;
    }
    bool Show(const RECT* areas, int count, bool all) override {
        ++shows;
        held_ = buffers_[current_];
        EXPECT_EQ(mprotect(held_, kBytes, PROT_READ), 0);
        if (!turns_) return true;
        BYTE* next = buffers_[1 - current_];
        const RECT whole{0, 0, kWidth, kHeight};
        for (int i = 0; i < (all ? 1 : count); ++i) {
            const RECT& area = all ? whole : areas[i];
            for (LONG y = area.top; y < area.bottom; ++y)
                std::memcpy(next + y * kPitch + area.left * 4, held_ + y * kPitch + area.left * 4,
                            static_cast<std::size_t>(area.right - area.left) * 4);
        }
        current_ = 1 - current_;
        return true;
    }
    bool Colours(const DWORD* xrgb, int count, DWORD* pixels) override {
        std::memcpy(pixels, xrgb, static_cast<std::size_t>(count) * sizeof(DWORD));
        return true;
    }
    bool Paint(BYTE, BYTE, BYTE) override { return true; }

    // New memory, the old one unmapped: a write there ends the test.
    void Remake() {
        Unmap();
        for (BYTE*& buffer : buffers_)
            buffer = static_cast<BYTE*>(
                mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        memoryId_ = win32user::NewImageMemoryId();
        current_ = 0;
    }
    bool InImage(const void* address) const {
        for (BYTE* buffer : buffers_)
            if (address >= buffer && address < buffer + kBytes) return true;
        return false;
    }
    std::uint32_t Shown(int x, int y) const {
        std::uint32_t pixel;
        std::memcpy(&pixel, buffers_[current_] + y * kPitch + x * 4, 4);
        return pixel;
    }

    int shows = 0;
    int asks = 0;

private:
    void LetGo() {
        if (held_ != nullptr) mprotect(held_, kBytes, PROT_READ | PROT_WRITE);
        held_ = nullptr;
    }
    void Unmap() {
        for (BYTE* buffer : buffers_)
            if (buffer != nullptr) munmap(buffer, kBytes);
        held_ = nullptr;
    }

    bool turns_;
    BYTE* buffers_[2]{};
    int current_ = 0;
    BYTE* held_ = nullptr;
    std::uint64_t memoryId_ = 0;
};

class ImageHandoverTest : public DirectDrawTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        window_ = OpenTestWindow(0, 0, kWidth, kHeight);
        ASSERT_NE(window_, nullptr);
        auto display = std::make_unique<HoldingDisplay>(GetParam());
        display_ = display.get();
        win32user::ReplacePixels(window_, std::move(display));
        DxFault::PretendDisplayDepth(32);
        primary_ = Make(PrimaryDesc());
        back_ = Make(BackDesc(kWidth, kHeight));
        ASSERT_EQ(dd_->CreateClipper(0, &clipper_, nullptr), DD_OK);
        ASSERT_EQ(clipper_->SetHWnd(0, window_), DD_OK);
        ASSERT_EQ(primary_->SetClipper(clipper_), DD_OK);
    }
    void TearDown() override {
        for (IUnknown* object : {static_cast<IUnknown*>(back_), static_cast<IUnknown*>(primary_),
                                 static_cast<IUnknown*>(clipper_)})
            if (object != nullptr) object->Release();
        DestroyWindow(window_);
        DirectDrawTest::TearDown();
    }

    HRESULT Present(IDirectDrawSurface* source, LONG x = 0) {
        POINT origin{x, 0};
        ClientToScreen(window_, &origin);
        RECT dest{origin.x, origin.y, origin.x + kWidth, origin.y + kHeight};
        return primary_->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr);
    }
    // Writes `pixel` over `area` of the back surface through a lock; where the
    // lock pointed.
    void* Paint(IDirectDrawSurface* surface, RECT area, std::uint32_t pixel) {
        DDSURFACEDESC desc = SizedDesc();
        EXPECT_EQ(surface->Lock(&area, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (LONG y = 0; y < area.bottom - area.top; ++y)
            for (LONG x = 0; x < area.right - area.left; ++x)
                std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * 4, &pixel, 4);
        surface->Unlock(nullptr);
        return desc.lpSurface;
    }

    HWND window_ = nullptr;
    HoldingDisplay* display_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
};

TEST_P(ImageHandoverTest, DrawsInTheImageOnlyOnceTheDisplayLetsGo) {
    Fill(back_, 0x00102030);
    ASSERT_EQ(Present(back_), DD_OK);
    // Frame after frame, a change drawn where the display reads, never into
    // memory it still holds.
    for (LONG i = 0; i < 6; ++i) {
        const RECT area{i * 8, i * 4, i * 8 + 8, i * 4 + 4};
        EXPECT_TRUE(display_->InImage(Paint(back_, area, 0x00AA0000u + static_cast<std::uint32_t>(i))));
        ASSERT_EQ(Present(back_), DD_OK);
        EXPECT_EQ(display_->Shown(i * 8 + 7, i * 4 + 3), 0x00AA0000u + static_cast<std::uint32_t>(i));
        EXPECT_EQ(display_->Shown(i * 8 + 8, i * 4 + 3), 0x00102030u);
    }
    // A blit into the back surface waits as a lock does.
    IDirectDrawSurface* other = Make(BackDesc(kWidth, kHeight));
    Fill(other, 0x00445566);
    RECT part{0, 0, 4, 4};
    ASSERT_EQ(back_->Blt(&part, other, &part, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(Present(back_), DD_OK);
    EXPECT_EQ(display_->Shown(3, 3), 0x00445566u);
    other->Release();
}

TEST_P(ImageHandoverTest, ImageMadeAnewLeavesTheSurfaceItsOwnMemory) {
    Fill(back_, 0x00102030);
    ASSERT_EQ(Present(back_), DD_OK);
    display_->Remake();
    EXPECT_FALSE(display_->InImage(Paint(back_, RECT{0, 0, 8, 8}, 0x00FF0000u)));
    // The pixels outside the write were lost with the old image: all of it
    // is presented again, and from then on drawn in the new image.
    ASSERT_EQ(Present(back_), DD_OK);
    EXPECT_EQ(display_->Shown(7, 7), 0x00FF0000u);
    EXPECT_TRUE(display_->InImage(Paint(back_, RECT{8, 8, 16, 16}, 0x0000FF00u)));
}

TEST_P(ImageHandoverTest, PresentingElsewhereOrAnotherSurfaceKeepsThePixels) {
    Fill(back_, 0x00102030);
    ASSERT_EQ(Present(back_), DD_OK);
    Paint(back_, RECT{0, 0, 1, 1}, 0x00FFFFFFu);
    // Shifted by one pixel: the image can no longer be the surface's memory.
    ASSERT_EQ(Present(back_, 1), DD_OK);
    EXPECT_EQ(display_->Shown(1, 0), 0x00FFFFFFu);
    EXPECT_EQ(display_->Shown(2, 0), 0x00102030u);
    ASSERT_EQ(Present(back_), DD_OK);

    IDirectDrawSurface* second = Make(BackDesc(kWidth, kHeight));
    Fill(second, 0x00ABCDEF);
    ASSERT_EQ(Present(second), DD_OK);
    EXPECT_EQ(display_->Shown(0, 0), 0x00ABCDEFu);
    // The first surface left the image with its pixels.
    ASSERT_EQ(Present(back_), DD_OK);
    EXPECT_EQ(display_->Shown(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(display_->Shown(5, 5), 0x00102030u);
    second->Release();
}

// Whatever a presentation does with the image (a surface moving in or out,
// one following it, the copy, the show), it asks the window for it once.
TEST_P(ImageHandoverTest, APresentationAsksForTheImageOnce) {
    Fill(back_, 0x00102030);
    IDirectDrawSurface* second = Make(BackDesc(kWidth, kHeight));
    Fill(second, 0x00ABCDEF);
    for (IDirectDrawSurface* source : {back_, back_, second, back_}) {
        const int asks = display_->asks;
        ASSERT_EQ(Present(source), DD_OK);
        EXPECT_EQ(display_->asks - asks, 1);
    }
    second->Release();
}

// The window's notes name only what is still there: a released surface or
// presenter, or a destroyed window, leaves no note behind.
TEST_P(ImageHandoverTest, NotesGoWithTheSurfaceAndPresenterTheyName) {
    Fill(back_, 0x00102030);
    ASSERT_EQ(Present(back_), DD_OK);
    const dx::Presenter* presenter = dynamic_cast<dx::Surface*>(primary_)->ScreenPresenter();
    ASSERT_EQ(dx::ImageDrawer(window_), dynamic_cast<dx::Surface*>(back_));
    ASSERT_EQ(dx::LastPresenter(window_), presenter);
    back_->Release();
    back_ = nullptr;
    EXPECT_EQ(dx::ImageDrawer(window_), nullptr);
    EXPECT_EQ(dx::LastPresenter(window_), presenter);
    primary_->Release();
    primary_ = nullptr;
    EXPECT_EQ(dx::LastPresenter(window_), nullptr);
}

TEST_P(ImageHandoverTest, NotesGoWithTheirWindow) {
    Fill(back_, 0x00102030);
    ASSERT_EQ(Present(back_), DD_OK);
    DestroyWindow(window_);
    EXPECT_EQ(dx::ImageDrawer(window_), nullptr);
    EXPECT_EQ(dx::LastPresenter(window_), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Displays, ImageHandoverTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "BuffersInTurns" : "OneBuffer"; });

}  // namespace
