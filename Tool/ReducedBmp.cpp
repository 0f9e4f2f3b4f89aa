#include "Tool/ReducedBmp.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

#include "Tool/PictureStructure.h"

namespace {

// Four megapixels: 16 MB decoded, whatever the picture's size.
constexpr qint64 kBandPixels = qint64{1} << 22;

}  // namespace

QImage DecodeBmpReduced(const QByteArray& bmp, QSize reduced, bool* cutShort,
                        const std::function<void(qint64)>& bandRead) {
    const BmpRows rows = BmpRowsOf(bmp);
    QImage out(reduced, QImage::Format_ARGB32);
    if (out.isNull()) return out;
    out.fill(Qt::transparent);
    const qint64 bandRows = std::max<qint64>(1, kBandPixels / rows.width);
    const qint64 heldRows =
        bmp.size() > rows.dataOffset ? (bmp.size() - rows.dataOffset) / rows.rowBytes : qint64{0};
    *cutShort = heldRows < rows.height;
    // Row y of the reduced picture shows row y * height / reduced height of
    // the original, counted from the top; the file stores rows bottom-up
    // unless topDown.
    for (qint64 first = 0; first < std::min(heldRows, rows.height); first += bandRows) {
        const qint64 count = std::min({bandRows, rows.height - first, heldRows - first});
        QByteArray bytes = BmpBand(bmp, rows, first, count);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        const QImage band = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (bandRead) bandRead(rows.dataOffset + (first + count) * rows.rowBytes);
        if (band.width() != rows.width || band.height() != count) return QImage();
        const qint64 topRow = rows.topDown ? first : rows.height - first - count;
        for (int y = 0; y < reduced.height(); ++y) {
            const qint64 source = y * rows.height / reduced.height() - topRow;
            if (source < 0 || source >= count) continue;
            const auto* from = reinterpret_cast<const QRgb*>(band.constScanLine(static_cast<int>(source)));
            auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < reduced.width(); ++x) to[x] = from[x * rows.width / reduced.width()];
        }
    }
    return out;
}
