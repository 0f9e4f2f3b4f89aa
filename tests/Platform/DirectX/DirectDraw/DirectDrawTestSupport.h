// Shared set-up of the software DirectDraw tests: a clean fault hook, a
// DirectDraw object in normal cooperation and helpers to make surfaces.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "Platform/DirectX/DxFault.h"
#include "tests/Support/DxCounts.h"
#include "tests/Support/TestWindow.h"

inline DDSURFACEDESC SizedDesc() {
    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    return desc;
}

inline DDSURFACEDESC PrimaryDesc() {
    DDSURFACEDESC desc = SizedDesc();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return desc;
}

inline DDSURFACEDESC BackDesc(DWORD width, DWORD height) {
    DDSURFACEDESC desc = SizedDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
    return desc;
}

inline DDSURFACEDESC ZBufferDesc(DWORD width, DWORD height) {
    DDSURFACEDESC desc = SizedDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.dwZBufferBitDepth = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    return desc;
}

// The pixel at (x, y) of a locked or read-back description, as stored.
inline std::uint32_t PixelAt(const DDSURFACEDESC& desc, int x, int y) {
    const auto* row =
        static_cast<const std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
    switch (desc.ddpfPixelFormat.dwRGBBitCount) {
        case 32:
            return reinterpret_cast<const std::uint32_t*>(row)[x];
        case 16:
            return reinterpret_cast<const std::uint16_t*>(row)[x];
        default:
            return row[x];
    }
}

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        DxFault::Reset();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        ASSERT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }
    void TearDown() override {
        if (dd_ != nullptr) {
            EXPECT_EQ(dd_->Release(), 0u);
        }
        DxFault::Reset();
    }

    // A new surface from `desc`; null (and a test failure) when refused.
    IDirectDrawSurface* Make(DDSURFACEDESC desc) {
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    // Fills every pixel of `surface` with `value` in its own format.
    static void Fill(IDirectDrawSurface* surface, std::uint32_t value);

    IDirectDraw* dd_ = nullptr;
};

// Presenting on a pretended desktop of screenWidth x screenHeight: a window,
// the primary surface clipped to it and a back surface of the window's size.
class PresentationTest : public DirectDrawTest {
protected:
    PresentationTest(int screenWidth, int screenHeight)
        : screenWidth_(screenWidth), screenHeight_(screenHeight) {}
    void SetUp() override;
    void TearDown() override;

    // The window at (x, y), width x height, in a display of `depth` bits.
    void Open(int depth, int x, int y, int width, int height);
    // Releases what Open made; the objects a test adds go first.
    virtual void Close();

    // The screen image as the presentations left it.
    DDSURFACEDESC Screen();
    // A pixel value that names its own coordinates.
    static std::uint32_t Coordinates(int x, int y) {
        return 0x00100000u | static_cast<std::uint32_t>(x << 8 | y);
    }

    const int screenWidth_;
    const int screenHeight_;
    HWND window_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
};
