#include "Tool/PictureFile.h"

#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QtEndian>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kPixelsPerMetreAt96Dpi = 3780;

void PutU16(QByteArray& out, int at, quint16 value) {
    qToLittleEndian(value, out.data() + at);
}
void PutU32(QByteArray& out, int at, quint32 value) {
    qToLittleEndian(value, out.data() + at);
}

}  // namespace

std::optional<QImage> LoadPicture(const QString& path, QString* error) {
    QImageReader reader(path);
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        if (error) *error = reader.errorString();
        return std::nullopt;
    }
    QImage opaque(decoded.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, decoded);
    return opaque;
}

QByteArray EncodeBmp24(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    const int rowSize = (width * 3 + 3) / 4 * 4;
    const int dataOffset = kFileHeaderSize + kInfoHeaderSize;
    QByteArray out(dataOffset + rowSize * height, '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, static_cast<quint32>(out.size()));
    PutU32(out, 10, dataOffset);
    PutU32(out, 14, kInfoHeaderSize);
    PutU32(out, 18, static_cast<quint32>(width));
    PutU32(out, 22, static_cast<quint32>(height));  // positive: rows run bottom-up
    PutU16(out, 26, 1);                             // planes
    PutU16(out, 28, 24);                            // bits per pixel
    PutU32(out, 30, 0);                             // no compression
    PutU32(out, 34, static_cast<quint32>(rowSize * height));
    PutU32(out, 38, kPixelsPerMetreAt96Dpi);
    PutU32(out, 42, kPixelsPerMetreAt96Dpi);
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(height - 1 - y));
        char* to = out.data() + dataOffset + y * rowSize;
        for (int x = 0; x < width; ++x) {
            *to++ = static_cast<char>(qBlue(from[x]));
            *to++ = static_cast<char>(qGreen(from[x]));
            *to++ = static_cast<char>(qRed(from[x]));
        }
    }
    return out;
}

std::optional<QString> SaveBitmapFile(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    const QByteArray bytes = EncodeBmp24(image);
    // A full disk first takes part of a write without a word; writing the
    // rest is what reports why.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 more = file.write(bytes.constData() + written, bytes.size() - written);
        if (more <= 0) {
            const QString error = file.errorString();
            file.cancelWriting();
            return error;
        }
        written += more;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}
