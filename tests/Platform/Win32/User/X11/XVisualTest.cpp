// How the image of a window of each kind of X visual is laid out, what
// GetDeviceCaps reports for it, and which visuals are refused by name.
#include <gtest/gtest.h>

#include <string>

#include "Platform/Win32/User/X11/XVisual.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

using win32user::VisualFacts;

struct VisualCase {
    const char* what;
    VisualFacts visual;
    int bytesPerPixel;  // 0: refused
    DWORD redMask, greenMask, blueMask, opaqueBits;
    int reported;
};

TEST(XVisualTest, EachVisualGetsItsLayoutOrIsRefused) {
    const VisualCase cases[] = {
        {"8-bit colormap", {0x21, PseudoColor, 8, 8, 0, 0, 0}, 1, 0, 0, 0, 0, 8},
        {"8-bit colours", {0x24, TrueColor, 8, 8, 0x7, 0x38, 0xC0}, 1, 0, 0, 0, 0, 8},
        {"15 bits", {0x21, TrueColor, 15, 16, 0x7C00, 0x3E0, 0x1F}, 2, 0x7C00, 0x3E0, 0x1F, 0, 16},
        {"16 bits", {0x21, TrueColor, 16, 16, 0xF800, 0x7E0, 0x1F}, 2, 0xF800, 0x7E0, 0x1F, 0, 16},
        {"24 bits packed",
         {0x21, TrueColor, 24, 24, 0xFF0000, 0xFF00, 0xFF},
         3,
         0xFF0000,
         0xFF00,
         0xFF,
         0,
         32},
        {"24 bits in 32",
         {0x22, DirectColor, 24, 32, 0xFF0000, 0xFF00, 0xFF},
         4,
         0xFF0000,
         0xFF00,
         0xFF,
         0,
         32},
        {"30 bits",
         {0x21, TrueColor, 30, 32, 0x3FF00000, 0xFFC00, 0x3FF},
         4,
         0x3FF00000,
         0xFFC00,
         0x3FF,
         0,
         32},
        {"32 bits with alpha",
         {0x40, TrueColor, 32, 32, 0xFF0000, 0xFF00, 0xFF},
         4,
         0xFF0000,
         0xFF00,
         0xFF,
         0xFF000000,
         32},
        {"1 bit", {0x22, StaticGray, 1, 1, 0, 0, 0}, 0, 0, 0, 0, 0, 8},
        {"4-bit colormap in 4 bits", {0x23, StaticColor, 4, 4, 0, 0, 0}, 0, 0, 0, 0, 0, 8},
    };
    for (const VisualCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        const std::optional<Win32WindowImage> layout = win32user::ImageLayoutOf(c.visual, &why);
        EXPECT_EQ(win32user::ReportedBitsPerPixel(c.visual), c.reported);
        if (c.bytesPerPixel == 0) {
            EXPECT_FALSE(layout);
            EXPECT_NE(why.find(win32user::DescribeVisual(c.visual)), std::string::npos) << why;
            continue;
        }
        ASSERT_TRUE(layout) << why;
        EXPECT_EQ(layout->bytesPerPixel, c.bytesPerPixel);
        EXPECT_EQ(layout->redMask, c.redMask);
        EXPECT_EQ(layout->greenMask, c.greenMask);
        EXPECT_EQ(layout->blueMask, c.blueMask);
        EXPECT_EQ(layout->opaqueBits, c.opaqueBits);
    }
}

TEST(XVisualTest, VisualsAreNamedByIdClassAndDepth) {
    EXPECT_EQ(win32user::DescribeVisual({0x21, PseudoColor, 8, 8, 0, 0, 0}),
              "visual 0x21 (PseudoColor, depth 8)");
    EXPECT_EQ(win32user::DescribeVisual({0x4f, DirectColor, 30, 32, 0, 0, 0}),
              "visual 0x4f (DirectColor, depth 30)");
}

}  // namespace
