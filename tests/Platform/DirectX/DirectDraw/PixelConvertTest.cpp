// Conversion onto screens of whatever layout the display's visual has.
#include <gtest/gtest.h>

#include <cstring>
#include <ios>

#include "Platform/DirectX/DirectDraw/PixelConvert.h"

namespace {

using dx::Format;
using dx::ScreenLayout;

constexpr ScreenLayout kXrgb = dx::kXrgbLayout;
constexpr ScreenLayout kArgb{4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
constexpr ScreenLayout kRgb565{2, 0xF800, 0x07E0, 0x001F, 0};
constexpr ScreenLayout kRgb555{2, 0x7C00, 0x03E0, 0x001F, 0};
constexpr ScreenLayout kBgr{4, 0xFF, 0xFF00, 0xFF0000, 0};
constexpr ScreenLayout kBytesRgb{3, 0xFF, 0xFF00, 0xFF0000, 0};  // red in the first byte
constexpr ScreenLayout k2101010{4, 0x3FF00000, 0xFFC00, 0x3FF, 0};
constexpr ScreenLayout kPalettized{1, 0, 0, 0, 0};

struct ConvertCase {
    const char* what;
    Format from;
    std::uint32_t source;  // one pixel in the source format
    ScreenLayout to;
    std::uint32_t screen;  // the pixel expected there
};

TEST(DDrawPixelConvertTest, OnePixelIntoEachScreenLayout) {
    // Entry 1 of both: the colour a palettized screen shows as pixel 0x81.
    std::uint32_t colours[256] = {0, 0x00C08040};
    colours[2] = 0x00FFFFFF;
    std::uint32_t pixels[256];
    for (std::uint32_t i = 0; i < 256; ++i) pixels[i] = 0x80 + i;
    const ConvertCase cases[] = {
        {"same 32-bit layout", Format::XRGB8888, 0x00123456, kXrgb, 0x00123456},
        {"opaque alpha added", Format::XRGB8888, 0x00123456, kArgb, 0xFF123456},
        {"32 to 16 bits", Format::XRGB8888, 0x00FF8040, kRgb565, 0xFC08},
        {"32 to 15 bits", Format::XRGB8888, 0x00FF8040, kRgb555, 0x7E08},
        {"same 16-bit layout", Format::RGB565, 0xFC08, kRgb565, 0xFC08},
        {"16 to 32 bits", Format::RGB565, 0xFFFF, kXrgb, 0x00FFFFFF},
        {"16 bits to alpha and colour", Format::RGB565, 0xF800, kArgb, 0xFFFF0000},
        {"palette to 32 bits", Format::Indexed8, 1, kXrgb, 0x00C08040},
        {"palette to alpha and colour", Format::Indexed8, 1, kArgb, 0xFFC08040},
        {"blue first", Format::XRGB8888, 0x00123456, kBgr, 0x00563412},
        {"three bytes", Format::Indexed8, 1, kBytesRgb, 0x4080C0},
        {"ten bits a channel, widened", Format::XRGB8888, 0x00FF8040, k2101010, 0x3FF80901},
        {"ten bits a channel from 16 bits", Format::RGB565, 0xFFFF, k2101010, 0x3FFFFFFF},
        {"palette onto a palettized screen", Format::Indexed8, 1, kPalettized, 0x81},
        {"colour to the nearest one offered", Format::XRGB8888, 0x00C28342, kPalettized, 0x81},
        {"16-bit colour to the nearest one offered", Format::RGB565, 0xFFFF, kPalettized, 0x82},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.what);
        dx::PixelMap map;
        map.Build(c.from, c.to, colours, pixels);
        std::uint8_t source[8]{};
        std::memcpy(source, &c.source, 4);
        std::uint8_t screen[8];
        std::memset(screen, 0xEE, sizeof screen);
        map.Convert(dx::SourcePixels{source, 8, c.from, colours}, dx::ScreenPixels{screen, 8}, 1, 1);
        std::uint32_t written = 0;
        std::memcpy(&written, screen, static_cast<std::size_t>(c.to.bytesPerPixel));
        EXPECT_EQ(written, c.screen) << std::hex << written;
        EXPECT_EQ(screen[c.to.bytesPerPixel], 0xEE);  // nothing past the pixel
    }
}

}  // namespace
