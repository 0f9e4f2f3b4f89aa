// Conversion onto window surfaces of whatever format the display has.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "Platform/DirectX/DirectDraw/PixelConvert.h"

namespace {

struct ConvertCase {
    const char* what;
    dx::Format from;
    std::uint32_t source;  // one pixel in the source format
    Uint32 to;             // SDL pixel format of the screen
    std::uint32_t screen;  // the pixel expected there, in its format
};

TEST(DDrawPixelConvertTest, OnePixelIntoEachScreenFormat) {
    const std::uint32_t palette[256] = {0, 0x00C08040};
    const ConvertCase cases[] = {
        {"same 32-bit layout", dx::Format::XRGB8888, 0x00123456, SDL_PIXELFORMAT_RGB888, 0x00123456},
        {"opaque alpha added", dx::Format::XRGB8888, 0x00123456, SDL_PIXELFORMAT_ARGB8888, 0xFF123456},
        {"32 to 16 bits", dx::Format::XRGB8888, 0x00FF8040, SDL_PIXELFORMAT_RGB565, 0xFC08},
        {"same 16-bit layout", dx::Format::RGB565, 0xFC08, SDL_PIXELFORMAT_RGB565, 0xFC08},
        {"16 to 32 bits", dx::Format::RGB565, 0xFFFF, SDL_PIXELFORMAT_RGB888, 0x00FFFFFF},
        {"palette to 32 bits", dx::Format::Indexed8, 1, SDL_PIXELFORMAT_RGB888, 0x00C08040},
        {"blue first", dx::Format::XRGB8888, 0x00123456, SDL_PIXELFORMAT_BGR888, 0x00563412},
        {"three bytes", dx::Format::Indexed8, 1, SDL_PIXELFORMAT_RGB24, 0x4080C0},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.what);
        SDL_PixelFormat* format = SDL_AllocFormat(c.to);
        ASSERT_NE(format, nullptr);
        std::uint8_t source[8]{};
        std::memcpy(source, &c.source, 4);
        std::uint8_t screen[8];
        std::memset(screen, 0xEE, sizeof screen);
        const dx::SourcePixels from{source, 8, c.from, palette};
        dx::ConvertBlock(from, dx::ScreenPixels{screen, 8, format}, 1, 1);
        std::uint32_t written = 0;
        std::memcpy(&written, screen, static_cast<std::size_t>(format->BytesPerPixel));
        EXPECT_EQ(written, c.screen);
        EXPECT_EQ(screen[format->BytesPerPixel], 0xEE);  // nothing past the pixel
        SDL_FreeFormat(format);
    }
}

}  // namespace
