#include "Tool/Twips.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <limits>

namespace {

constexpr double kTwipsPerInch = 1440.0;
// What a screen without a usable resolution is taken to have.
constexpr double kUsualDotsPerInch = 96.0;

// The font the layout's captions were made for.
constexpr double kDesignPointSize = 9.0;

double DotsPerInch(double reported) {
    return reported > 0.0 ? reported : kUsualDotsPerInch;
}

double FontGrowth(const QFont& font) {
    const double points = QFontInfo(font).pointSizeF();
    return points > kDesignPointSize ? points / kDesignPointSize : 1.0;
}

}  // namespace

float TwipsPerPixelX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? DotsPerInch(screen->logicalDotsPerInchX()) : kUsualDotsPerInch;
    return static_cast<float>(kTwipsPerInch / dpi);
}

float TwipsPerPixelY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? DotsPerInch(screen->logicalDotsPerInchY()) : kUsualDotsPerInch;
    return static_cast<float>(kTwipsPerInch / dpi);
}

float TwipsPerPixelX(const QFont& font) {
    return static_cast<float>(TwipsPerPixelX() / FontGrowth(font));
}

float TwipsPerPixelY(const QFont& font) {
    return static_cast<float>(TwipsPerPixelY() / FontGrowth(font));
}

int RoundHalfEven(double value) {
    constexpr double kLowest = std::numeric_limits<int>::min();
    constexpr double kHighest = std::numeric_limits<int>::max();
    if (std::isnan(value)) return 0;
    double nearest = std::round(value);
    // std::round takes ties away from zero; the even neighbour is wanted.
    if (std::fabs(nearest - value) == 0.5) nearest = 2.0 * std::round(value / 2.0);
    if (nearest <= kLowest) return std::numeric_limits<int>::min();
    if (nearest >= kHighest) return std::numeric_limits<int>::max();
    return static_cast<int>(nearest);
}

int TwipsToPixels(double twips, float twipsPerPixel) {
    return RoundHalfEven(twips / static_cast<double>(twipsPerPixel));
}

QRect TwipsRectToPixels(int left, int top, int width, int height, float twipsPerPixelX,
                        float twipsPerPixelY) {
    return QRect(TwipsToPixels(left, twipsPerPixelX), TwipsToPixels(top, twipsPerPixelY),
                 TwipsToPixels(width, twipsPerPixelX), TwipsToPixels(height, twipsPerPixelY));
}
