#include "Tool/PictureStructure.h"

#include <QtEndian>
#include <cstdlib>

#include "Tool/ByteFields.h"
#include "Tool/GifBlocks.h"

namespace {

constexpr qsizetype kPngSignatureSize = 8;
constexpr qsizetype kChunkOverhead = 12;  // length, type, CRC
constexpr quint32 kLongestChunk = 0x7FFFFFFF;
constexpr char kIend[] = "\0\0\0\0IEND\xAE\x42\x60\x82";

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitfields = 3;
constexpr quint32 kBiAlphaBitfields = 6;

quint32 Be32(const QByteArray& bytes, qsizetype at) {
    return BigEndianAt<quint32>(bytes, at);
}

template <typename T>
T Le(const QByteArray& bytes, qsizetype at) {
    return LittleEndianAt<T>(bytes, at);
}

bool PixelChunk(QByteArrayView type) {
    return type == "IHDR" || type == "PLTE" || type == "tRNS" || type == "IDAT" || type == "IEND";
}

}  // namespace

PngPixelChunks PngPixelChunksOf(const QByteArray& png) {
    PngPixelChunks kept{png.left(kPngSignatureSize)};
    qsizetype at = kPngSignatureSize;
    while (true) {
        if (png.size() - at < kChunkOverhead) break;
        const quint32 length = Be32(png, at);
        if (length > kLongestChunk || png.size() - at - kChunkOverhead < qsizetype{length}) break;
        const QByteArrayView type(png.constData() + at + 4, 4);
        const qsizetype chunkSize = kChunkOverhead + length;
        if (PixelChunk(type)) kept.bytes.append(png.constData() + at, chunkSize);
        if (type == "IEND") return kept;
        at += chunkSize;
    }
    kept.cutShort = true;
    kept.bytes.append(kIend, sizeof kIend - 1);
    return kept;
}

BmpRows BmpRowsOf(const QByteArray& bmp) {
    BmpRows rows;
    if (bmp.size() < 26 || !bmp.startsWith("BM")) return rows;
    rows.dataOffset = Le<quint32>(bmp, 10);
    rows.headerSize = static_cast<int>(Le<quint32>(bmp, 14));
    qint64 bits = 0;
    if (rows.headerSize == 12) {
        rows.width = Le<quint16>(bmp, 18);
        rows.height = Le<quint16>(bmp, 20);
        bits = Le<quint16>(bmp, 24);
    } else if (rows.headerSize >= 40 && bmp.size() >= 34) {
        const quint32 compression = Le<quint32>(bmp, 30);
        if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
            return rows;
        rows.width = Le<qint32>(bmp, 18);
        const qint64 height = Le<qint32>(bmp, 22);
        rows.topDown = height < 0;
        rows.height = std::llabs(height);
        bits = Le<quint16>(bmp, 28);
    } else {
        return rows;
    }
    rows.rowBytes = (rows.width * bits + 31) / 32 * 4;
    // The pixels after both headers: a band is those headers with other rows.
    constexpr qint64 kFileHeaderSize = 14;
    rows.valid = rows.width > 0 && rows.height > 0 && bits > 0 && bits <= 32 &&
                 rows.dataOffset >= kFileHeaderSize + rows.headerSize;
    return rows;
}

bool BmpCutShort(const QByteArray& bmp) {
    const BmpRows rows = BmpRowsOf(bmp);
    if (!rows.valid) return false;
    // Divided, not multiplied: a header's sizes can overflow any product.
    return bmp.size() < rows.dataOffset || (bmp.size() - rows.dataOffset) / rows.rowBytes < rows.height;
}

QByteArray BmpBand(const QByteArray& bmp, const BmpRows& rows, qint64 first, qint64 count) {
    QByteArray band = bmp.left(rows.dataOffset);
    band.append(bmp.mid(rows.dataOffset + first * rows.rowBytes, count * rows.rowBytes));
    qToLittleEndian<quint32>(static_cast<quint32>(band.size()), band.data() + 2);
    if (rows.headerSize == 12) {
        qToLittleEndian<quint16>(static_cast<quint16>(count), band.data() + 20);
    } else {
        qToLittleEndian<qint32>(static_cast<qint32>(rows.topDown ? -count : count), band.data() + 22);
        qToLittleEndian<quint32>(0, band.data() + 34);  // the size of the pixels: worked out from the rest
    }
    return band;
}

bool JpegHoldsWholeImage(const QByteArray& jpeg) {
    qsizetype at = 2;  // after the start of image
    while (at + 1 < jpeg.size()) {
        // Markers are found as the decoder finds them, past any stray bytes.
        if (static_cast<uchar>(jpeg[at]) != 0xFF || static_cast<uchar>(jpeg[at + 1]) == 0xFF ||
            jpeg[at + 1] == 0) {
            ++at;
            continue;
        }
        const uchar marker = static_cast<uchar>(jpeg[at + 1]);
        if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length follows
            at += 2;
            continue;
        }
        if (at + 4 > jpeg.size()) return false;
        const qsizetype next = at + 2 + BigEndianAt<quint16>(jpeg, at + 2);
        // In the entropy-coded data a 0xFF byte is always followed by 0 or
        // a restart marker, so another start of scan is a second scan.
        if (marker == 0xDA) return jpeg.indexOf("\xFF\xDA", next) >= 0;
        at = next;
    }
    return false;
}

bool GifCutShort(const QByteArray& gif) {
    GifBlocks blocks(gif);
    while (true) {
        switch (blocks.Next().kind) {
            case GifBlock::Kind::Trailer:
            // Not a block at all: decoders stop here, as if at the trailer.
            case GifBlock::Kind::NotABlock:
                return false;
            case GifBlock::Kind::CutShort:
                return true;
            case GifBlock::Kind::Extension:
            case GifBlock::Kind::Image:
                break;
        }
    }
}
