// Clear and the Indexed8 colour lookup.
#include <algorithm>
#include <vector>

#include "RasterTestSupport.h"

namespace raster::test {
namespace {

class ClearTest : public RasterTest {};

TEST_P(ClearTest, FillsColourAndDepthInTheTargetsFormat) {
    std::uint32_t palette[256] = {0x000000, 0x0000FF, 0x00FF00};
    bool usable[256] = {true, true, true};
    std::vector<std::uint8_t> colorToIndex(32768);
    BuildColorToIndex(palette, usable, colorToIndex.data());
    struct Case {
        const char* name;
        PixelFormat format;
        int width, height;
        std::uint32_t xrgb;
        std::uint16_t depth;
        std::uint32_t stored;
    };
    const Case cases[] = {
        {"32-bit black, farthest", PixelFormat::XRGB8888, 13, 5, 0x000000, 0xFFFF, 0x000000},
        {"32-bit colour, mixed depth bytes", PixelFormat::XRGB8888, 1, 7, 0x123456, 0x1234, 0x123456},
        {"32-bit drops the top byte", PixelFormat::XRGB8888, 9, 3, 0xAB102030, 0x0101, 0x102030},
        {"16-bit", PixelFormat::RGB565, 11, 4, 0xFF8000, 0x8000, 0xFC00},
        {"16-bit with equal bytes", PixelFormat::RGB565, 3, 3, 0xFFFFFF, 0, 0xFFFF},
        {"8-bit through the palette", PixelFormat::Indexed8, 17, 6, 0x10E020, 0xFFFF, 2},
        // Taller than the rows whose memory is asked for ahead of their fill.
        {"32-bit tall, row copies", PixelFormat::XRGB8888, 5, 21, 0x123456, 0x1234, 0x123456},
        {"16-bit tall, equal bytes", PixelFormat::RGB565, 6, 19, 0x000000, 0xFFFF, 0x0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.width, c.height, c.format, colorToIndex.data());
        rasterizer().Clear(canvas.target(), c.xrgb, c.depth);
        ASSERT_TRUE(canvas.PaddingIntact());
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x)
                wrong += canvas.Pixel(x, y) != c.stored || canvas.Depth(x, y) != c.depth;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_P(ClearTest, UnusableTargetsAreLeftAlone) {
    struct Case {
        const char* name;
        void (*spoil)(Target&);
    };
    const Case cases[] = {
        {"no colour memory", [](Target& t) { t.color = nullptr; }},
        {"no depth memory", [](Target& t) { t.depth = nullptr; }},
        {"zero width", [](Target& t) { t.width = 0; }},
        {"negative height", [](Target& t) { t.height = -4; }},
        {"wider than supported", [](Target& t) { t.width = 16385; }},
        {"8-bit without a lookup", [](Target& t) { t.format = PixelFormat::Indexed8; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(8, 4);
        Target target = canvas.target();
        c.spoil(target);
        rasterizer().Clear(target, 0x123456, 0x1234);
        rasterizer().DrawTriangles(target, State{nullptr, Shading::Gouraud, Filter::Nearest},
                                   std::vector<Vertex>{V(0, 0), V(8, 0), V(0, 4)}.data(), 1);
        ASSERT_TRUE(canvas.PaddingIntact());
        EXPECT_EQ(canvas.Pixel(0, 0), 0u);
        EXPECT_EQ(canvas.Depth(0, 0), 0xFFFF);
    }
}

INSTANTIATE_TEST_SUITE_P(Rasterizers, ClearTest, testing::ValuesIn(AllRasterizers()), RasterizerName);

TEST(BuildColorToIndexTest, PicksTheNearestUsableEntry) {
    std::uint32_t palette[256] = {};
    bool usable[256] = {};
    palette[7] = 0xFF0000;  // usable
    palette[8] = 0xF80000;  // nearer to most reds, but not usable
    palette[9] = 0x0000FF;
    palette[10] = 0x0000FF;  // the same as 9: the lower index wins
    palette[200] = 0x808080;
    usable[7] = usable[9] = usable[10] = usable[200] = true;
    std::vector<std::uint8_t> lookup(32768);
    BuildColorToIndex(palette, usable, lookup.data());
    struct Case {
        const char* name;
        int r5, g5, b5;
        std::uint8_t index;
    };
    const Case cases[] = {
        {"pure red", 31, 0, 0, 7},
        {"darker red", 30, 2, 0, 7},
        {"blue", 0, 0, 31, 9},
        {"grey", 16, 16, 16, 200},
        {"black is nearest grey", 0, 0, 0, 200},
        {"dark blue", 0, 0, 20, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lookup[c.r5 << 10 | c.g5 << 5 | c.b5], c.index);
    }
}

TEST(BuildColorToIndexTest, MapsEverythingToZeroWithoutUsableEntries) {
    std::uint32_t palette[256] = {0xFFFFFF, 0x123456};
    bool usable[256] = {};
    std::vector<std::uint8_t> lookup(32768, 99);
    BuildColorToIndex(palette, usable, lookup.data());
    EXPECT_EQ(std::count(lookup.begin(), lookup.end(), 0), 32768);
}

}  // namespace
}  // namespace raster::test
