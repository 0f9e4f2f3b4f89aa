#include <gtest/gtest.h>

#include <QImage>

#include "Tool/ImageFit.h"
#include "Tool/Twips.h"

namespace {

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
    const struct {
        double value;
        int expected;
    } cases[] = {
        {0.5, 0},           {1.5, 2},
        {2.5, 2},           {3.5, 4},
        {-0.5, 0},          {-1.5, -2},
        {-2.5, -2},         {2.4, 2},
        {2.6, 3},           {-2.6, -3},
        {85.5, 86},         {0.49999999999999994, 0},
        {1e12, 2147483647}, {-1e12, -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
}

TEST(TwipsToPixelsTest, HalfPixelsRoundToEven) {
    const struct {
        double twips;
        float perPixel;
        int expected;
    } cases[] = {
        {22.5, 15.0f, 2},   {37.5, 15.0f, 2},   {7.5, 15.0f, 0}, {52.5, 15.0f, 4},
        {3840, 15.0f, 256}, {4125, 15.0f, 275}, {6, 12.0f, 0},   {18, 12.0f, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(TwipsToPixels(c.twips, c.perPixel), c.expected) << c.twips;
}

// A 3840 x 3840 twip canvas (256 x 256 pixels) at 15 twips per pixel.
TEST(FitImageTest, FitsAndCentresOnTheStandardCanvas) {
    const struct {
        int width, height;  // picture, pixels
        int fitWidth, fitHeight, x, y;
    } cases[] = {
        {300, 200, 256, 170, 0, 43}, {200, 300, 170, 256, 43, 0}, {640, 480, 256, 192, 0, 32},
        {512, 256, 256, 128, 0, 64}, {64, 64, 256, 256, 0, 0},    {100, 300, 85, 256, 86, 0},
        {1000, 999, 256, 255, 0, 0}, {256, 256, 256, 256, 0, 0},  {1, 1000, 0, 256, 128, 0},
    };
    for (const auto& c : cases) {
        const ImageFit fit = FitImage(3840.0f, 3840.0f, c.width * 15.0f, c.height * 15.0f, 15.0f, 15.0f);
        EXPECT_EQ(fit.fitWidth, c.fitWidth) << c.width << "x" << c.height;
        EXPECT_EQ(fit.fitHeight, c.fitHeight) << c.width << "x" << c.height;
        EXPECT_EQ(fit.x, c.x) << c.width << "x" << c.height;
        EXPECT_EQ(fit.y, c.y) << c.width << "x" << c.height;
    }
}

QImage Numbered(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x, y, (x * 7 + y) & 0xFF));
    return image;
}

TEST(ScaleNearestTest, EnlargingRepeatsEveryPixelAsABlock) {
    const QImage source = Numbered(64, 64);
    const QImage scaled = ScaleNearest(source, 256, 256);
    ASSERT_EQ(scaled.size(), QSize(256, 256));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(scaled.pixel(x, y), source.pixel(x / 4, y / 4)) << x << "," << y;
}

TEST(ScaleNearestTest, ShrinkingDropsWholeRowsAndColumnsWithoutBlending) {
    const QImage source = Numbered(200, 150);
    const QImage scaled = ScaleNearest(source, 100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(scaled.pixel(x, y), source.pixel(x * 2, y * 3)) << x << "," << y;
}

TEST(ScaleNearestTest, TransparentPixelsShowOverBlack) {
    QImage clear(4, 4, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(1, 2, qRgb(10, 200, 30));
    clear.setPixel(3, 3, qRgba(200, 100, 50, 128));
    const QImage placed = ScaleNearest(clear, 4, 4);
    EXPECT_EQ(placed.format(), QImage::Format_RGB32);
    EXPECT_EQ(placed.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(placed.pixel(1, 2), qRgb(10, 200, 30));
    EXPECT_EQ(placed.pixel(3, 3), qRgb(100, 50, 25));
}

}  // namespace
