#include "Tool/ImageFit.h"

#include "Tool/Twips.h"

ImageFit FitImage(float cw, float ch, float iw, float ih, float tx, float ty) {
    ImageFit fit{};
    const auto canvasAspect = static_cast<double>(cw / ch);  // both in twips
    const auto imageAspect = static_cast<double>(iw / ih);
    const int pixelX = RoundHalfEven(tx);
    const int pixelY = RoundHalfEven(ty);
    if (canvasAspect > imageAspect) {
        // Relatively taller than the canvas: full height.
        fit.fitHeight = RoundHalfEven(ch) / pixelY;
        fit.fitWidth = RoundHalfEven(static_cast<double>(ch) * imageAspect) / pixelX;
    } else {
        fit.fitHeight = RoundHalfEven(static_cast<double>(cw) / imageAspect) / pixelY;
        fit.fitWidth = RoundHalfEven(cw) / pixelX;
    }
    const int canvasWidth = RoundHalfEven(cw) / pixelX;
    const int canvasHeight = RoundHalfEven(ch) / pixelY;
    fit.x = RoundHalfEven((canvasWidth - fit.fitWidth) / 2.0);
    fit.y = RoundHalfEven((canvasHeight - fit.fitHeight) / 2.0);
    return fit;
}

QImage ScaleNearest(const QImage& source, int width, int height) {
    QImage scaled(width, height, QImage::Format_RGB32);
    const qint64 sourceWidth = source.width();
    const qint64 sourceHeight = source.height();
    // Only the pixels taken are read, whatever the source's size and format;
    // a transparent one shows over black as it would on the canvas.
    for (int y = 0; y < height; ++y) {
        const int sourceY = static_cast<int>(y * sourceHeight / height);
        auto* to = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < width; ++x)
            to[x] =
                qPremultiply(source.pixel(static_cast<int>(x * sourceWidth / width), sourceY)) | 0xFF000000u;
    }
    return scaled;
}
