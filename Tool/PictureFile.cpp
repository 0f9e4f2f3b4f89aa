#include "Tool/PictureFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cerrno>
#include <climits>
#include <optional>
#include <string>
#include <utility>

#include "Platform/Posix/RegularFile.h"
#include "Tool/MappedPicture.h"
#include "Tool/PictureStructure.h"
#include "Tool/PngInflateBound.h"
#include "Tool/ReducedBmp.h"
#include "Tool/ReducedGif.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kPixelsPerMetreAt96Dpi = 3780;

// Far beyond any picture worth putting on a 256 x 256 canvas (a 16-megapixel
// photograph fits), and small enough that a picture whose header promises
// more is refused before it costs memory or time: decoded it takes at most
// 64 MB.
constexpr qint64 kMaxPicturePixels = qint64{1} << 24;
constexpr int kAllocationLimitMb = static_cast<int>(kMaxPicturePixels * 4 >> 20);
// Such a picture stored uncompressed at 32 bits, with room for its headers
// and a colour profile.
constexpr std::size_t kMaxPictureFileBytes = kMaxPicturePixels * 4 + (std::size_t{1} << 20);
// JPEG's decoder reduces by up to 1/8 per side while it decodes, so a picture
// this large (phone cameras reach 200 megapixels) needs at most 4 megapixels
// of memory; beyond it, a few hundred bytes claiming a huge size would still
// keep the decoder busy for seconds.
constexpr qint64 kMaxReducedPixels = qint64{1} << 28;
// An uncompressed BMP costs a read of its rows, one band at a time, however
// large: up to a gigapixel (32000 x 32000, 3 GB at 24 bits).
constexpr qint64 kMaxBandedBmpPixels = qint64{1} << 30;
constexpr std::size_t kMaxBandedBmpFileBytes = kMaxBandedBmpPixels * 4 + (std::size_t{1} << 20);
// The bit depth's place in a PNG: after the signature, IHDR's length and
// type, and its width and height.
constexpr qsizetype kPngBitDepthAt = 24;

// The formats the import offers, told by content. Qt's other decoders (ICO,
// TIFF, ...) would be more code reading untrusted bytes.
bool OfferedFormat(const QByteArray& format) {
    return format == "bmp" || format == "jpeg" || format == "gif" || format == "png";
}

qint64 Pixels(QSize size) {
    return qint64{size.width()} * size.height();
}

bool Oversized(QSize size) {
    return Pixels(size) > kMaxPicturePixels;
}

QString TooLarge(QSize size) {
    return QCoreApplication::translate("PictureFile", "画像が大きすぎます(%1 × %2 ピクセル)。")
        .arg(size.width())
        .arg(size.height());
}

QString CutShort() {
    return QCoreApplication::translate("PictureFile", "ファイルが途中で終わっています。");
}

// Warnings the image decoders give while they read (libjpeg's "premature end
// of data segment", for one), gathered instead of printed: the picture
// decodes all the same, with what could not be read left grey or empty.
class DecoderWarnings {
public:
    DecoderWarnings() : previous_(qInstallMessageHandler(&Gather)) { current_ = this; }
    ~DecoderWarnings() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    const QString& first() const { return first_; }

private:
    static void Gather(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && QByteArrayView(context.category).startsWith("qt.gui.imageio")) {
            if (current_->first_.isEmpty()) current_->first_ = text;
            return;
        }
        if (current_->previous_) current_->previous_(type, context, text);
    }

    static inline DecoderWarnings* current_ = nullptr;
    QtMessageHandler previous_;
    QString first_;
};

QString ReadFailure(int error) {
    if (error == EINVAL) return QCoreApplication::translate("PictureFile", "通常のファイルではありません。");
    if (error == EFBIG)
        return QCoreApplication::translate("PictureFile", "ファイルが大きすぎます(%1 MB を超えています)。")
            .arg(kMaxPictureFileBytes >> 20);
    return qt_error_string(error);
}

// The smallest size with `size`'s proportions that covers `cover`, but no
// larger than `size`.
QSize CoveringSize(QSize size, QSize cover) {
    const qint64 width = size.width();
    const qint64 height = size.height();
    QSize covering;
    if (width * cover.height() >= height * cover.width()) {  // relatively wider: the height decides
        covering = QSize(static_cast<int>((width * cover.height() + height - 1) / height), cover.height());
    } else {
        covering = QSize(cover.width(), static_cast<int>((height * cover.width() + width - 1) / width));
    }
    return covering.boundedTo(size);
}

// The file's bytes: read whole, or for an uncompressed BMP too large for
// that, mapped, to be read in bands. Empty, with `error` set, on failure.
QByteArray ReadPictureBytes(const QString& path, std::string* bytes, std::optional<MappedPicture>* mapped,
                            QString* error) {
    // Bounded and non-blocking: a FIFO, a directory, a device or a huge file
    // under the name is refused before any of it is read.
    const QByteArray name = QFile::encodeName(path);
    const posix::RegularFileRead read = posix::ReadRegularFile(name.constData(), kMaxPictureFileBytes, bytes);
    if (read.error == EFBIG) {
        mapped->emplace(name.constData(), kMaxBandedBmpFileBytes);
        const BmpRows rows = BmpRowsOf((*mapped)->bytes());
        if ((*mapped)->error() == 0 && rows.valid && rows.width * rows.height > kMaxPicturePixels)
            return (*mapped)->bytes();
        *error = ReadFailure(EFBIG);
        return {};
    }
    if (read.error != 0) {
        *error = ReadFailure(read.error);
        return {};
    }
    return QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

// What the decoder of `format` is given of `data`, which becomes that; and
// the damage the file's structure shows: a file that ends early is told so
// where the decoder would fill the rest without a word.
QString KeepDecodable(const QByteArray& format, QByteArray* data) {
    if (format == "png") {
        const PngPixelChunks kept = PngPixelChunksOf(*data);
        *data = PngInflateBounded(kept.bytes);
        return kept.cutShort ? CutShort() : QString();
    }
    if ((format == "bmp" && BmpCutShort(*data)) || (format == "gif" && GifCutShort(*data))) return CutShort();
    return {};
}

// The size the header states, before the decoder allocates for it. Qt's BMP
// decoder refuses a header of more than 16384 x 16384 pixels; the bands it
// is given are far smaller.
QSize StoredSize(QImageReader& reader, const QByteArray& format, const QByteArray& data) {
    const QSize size = reader.size();
    if (const BmpRows rows = BmpRowsOf(data);
        !size.isValid() && format == "bmp" && rows.valid && rows.width <= INT_MAX && rows.height <= INT_MAX)
        return QSize(static_cast<int>(rows.width), static_cast<int>(rows.height));
    return size;
}

QString Corrupt(const QString& why) {
    return QCoreApplication::translate("PictureFile", "画像のデータが壊れています(%1)。").arg(why);
}

// Whether a picture of `size` (as stored), more pixels than may be held,
// can be reduced to `reduced` while it is decoded: JPEG's decoder reduces a
// single sequential scan as it decodes (a progressive or many-scan one it
// holds whole); an uncompressed BMP is read a band of rows at a time and a
// GIF a row at a time. Other decoders would hold every pixel.
bool ReducibleWhileDecoded(const QByteArray& format, const QByteArray& data, QSize size, QSize reduced) {
    const bool bmpBands = format == "bmp" && BmpRowsOf(data).valid;
    const bool jpegScales = format == "jpeg" && !JpegHoldsWholeImage(data);
    return (jpegScales || format == "gif" || bmpBands) &&
           Pixels(size) <= (bmpBands ? kMaxBandedBmpPixels : kMaxReducedPixels) && !Oversized(reduced);
}

// A reducible BMP or GIF decoded to `reduced`, releasing a mapped file's
// bands as they are read.
QImage DecodeReduced(const QByteArray& format, const QByteArray& data, QSize reduced, MappedPicture* mapped,
                     QString* damage) {
    bool cutShort = false;
    const auto bandRead = [mapped](qint64 upTo) {
        if (mapped) mapped->Release(upTo);
    };
    QImage decoded = format == "bmp" ? DecodeBmpReduced(data, reduced, &cutShort, bandRead)
                                     : DecodeGifReduced(data, reduced, &cutShort);
    if (cutShort || (mapped && mapped->Shrank())) *damage = CutShort();
    return decoded;
}

// LoadPicture, and with a valid `cover` LoadPictureCovering.
std::optional<LoadedPicture> ReadPicture(const QString& path, QSize cover, QString* error) {
    QString why;
    const auto fail = [error, &why]() -> std::optional<LoadedPicture> {
        if (error) *error = why;
        return std::nullopt;
    };
    std::string bytes;
    std::optional<MappedPicture> mapped;
    QByteArray data = ReadPictureBytes(path, &bytes, &mapped, &why);
    if (!why.isEmpty()) return fail();
    QByteArray format;
    {
        QBuffer sniff(&data);
        sniff.open(QIODevice::ReadOnly);
        format = QImageReader(&sniff).format();
    }
    if (!OfferedFormat(format)) {
        why =
            QCoreApplication::translate("PictureFile", "BMP、JPEG、GIF、PNG のいずれの画像でもありません。");
        return fail();
    }
    QString damage = KeepDecodable(format, &data);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    DecoderWarnings warnings;
    // A photograph's orientation tag turns it upright; sizes below are as
    // stored, before that turn.
    reader.setAutoTransform(true);
    const bool quarterTurn = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const auto upright = [quarterTurn](QSize size) { return quarterTurn ? size.transposed() : size; };
    // The allocation limit stops decoders that cannot tell the size
    // beforehand. 16 bits a channel decode at 8 bytes a pixel, and are then
    // reduced to 8.
    const bool deepPng = format == "png" && data.size() > kPngBitDepthAt && data[kPngBitDepthAt] == 16;
    QImageReader::setAllocationLimit(deepPng ? 2 * kAllocationLimitMb + 1 : kAllocationLimitMb);
    const QSize size = StoredSize(reader, format, data);
    QSize ownSize;  // known apart from the pixels only when they are reduced
    QImage decoded;
    if (size.isValid() && Oversized(size)) {
        const QSize reduced = cover.isValid() ? CoveringSize(size, upright(cover)) : size;
        if (!ReducibleWhileDecoded(format, data, size, reduced)) {
            why = TooLarge(upright(size));
            return fail();
        }
        ownSize = upright(size);
        if (format == "jpeg") {
            reader.setScaledSize(reduced);
        } else if (decoded = DecodeReduced(format, data, reduced, mapped ? &*mapped : nullptr, &damage);
                   decoded.isNull()) {
            why = Corrupt(QString::fromLatin1(format.toUpper()));
            return fail();
        }
    }
    if (decoded.isNull()) decoded = reader.read();
    if (decoded.isNull()) {
        why = Corrupt(reader.errorString());
        return fail();
    }
    // Some headers state less than the decoder then makes (a GIF's frame
    // inside a larger screen); the allocation limit held that to 64 MB.
    if (Oversized(decoded.size())) {
        why = TooLarge(decoded.size());
        return fail();
    }
    if (!ownSize.isValid()) ownSize = decoded.size();
    if (damage.isEmpty() && !warnings.first().isEmpty())
        damage = QCoreApplication::translate("PictureFile", "画像のデータの一部が壊れています(%1)。")
                     .arg(warnings.first());
    return LoadedPicture{std::move(decoded), ownSize, damage};
}

void PutU16(QByteArray& out, int at, quint16 value) {
    qToLittleEndian(value, out.data() + at);
}
void PutU32(QByteArray& out, int at, quint32 value) {
    qToLittleEndian(value, out.data() + at);
}

}  // namespace

std::optional<QImage> LoadPicture(const QString& path, QString* error) {
    std::optional<LoadedPicture> loaded = ReadPicture(path, QSize(), error);
    if (!loaded) return std::nullopt;
    return std::move(loaded->image);
}

std::optional<LoadedPicture> LoadPictureCovering(const QString& path, QSize cover, QString* error) {
    return ReadPicture(path, cover, error);
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
