#include "Tool/PngInflateBound.h"

#include <zlib.h>

#include <QtEndian>
#include <algorithm>
#include <vector>

#include "Tool/ByteFields.h"

namespace {

constexpr qsizetype kSignatureSize = 8;
constexpr qsizetype kChunkOverhead = 12;  // length, type, CRC

struct Chunk {
    qsizetype at;  // of its length field
    quint32 length;
    QByteArrayView type;
};

std::vector<Chunk> ChunksOf(const QByteArray& png) {
    std::vector<Chunk> chunks;
    for (qsizetype at = kSignatureSize; png.size() - at >= kChunkOverhead;) {
        const quint32 length = BigEndianAt<quint32>(png, at);
        if (png.size() - at - kChunkOverhead < qsizetype{length}) break;
        chunks.push_back({at, length, QByteArrayView(png.constData() + at + 4, 4)});
        at += kChunkOverhead + length;
    }
    return chunks;
}

// The bytes the image's rows take inflated: each row of each pass (seven
// of Adam7 when interlaced) a filter byte and its pixels.
qint64 InflatedBytes(const QByteArray& png, const Chunk& ihdr) {
    const qsizetype at = ihdr.at + 8;
    const qint64 width = BigEndianAt<quint32>(png, at);
    const qint64 height = BigEndianAt<quint32>(png, at + 4);
    const int depth = static_cast<uchar>(png[at + 8]);
    const int colour = static_cast<uchar>(png[at + 9]);
    const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
    // A header may claim sides of 2^32: the count stops at a bound no
    // image reaches rather than overflow.
    constexpr qint64 kBeyondAnyImage = qint64{1} << 60;
    const auto rows = [&](qint64 passWidth, qint64 passHeight) {
        if (passWidth <= 0 || passHeight <= 0) return qint64{0};
        qint64 bytes = 0;
        return __builtin_mul_overflow(passHeight, 1 + (passWidth * channels * depth + 7) / 8, &bytes)
                   ? kBeyondAnyImage
                   : std::min(bytes, kBeyondAnyImage);
    };
    if (static_cast<uchar>(png[at + 12]) == 0) return rows(width, height);
    static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    qint64 bytes = 0;
    for (const auto& [x, y, xStep, yStep] : kPasses)
        bytes = std::min(bytes + rows((width - x + xStep - 1) / xStep, (height - y + yStep - 1) / yStep),
                         kBeyondAnyImage);
    return bytes;
}

QByteArray ChunkOf(const char* type, QByteArrayView data) {
    QByteArray chunk(4, '\0');
    qToBigEndian(static_cast<quint32>(data.size()), chunk.data());
    chunk.append(type, 4).append(data.data(), data.size());
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(chunk.constData() + 4),
                            static_cast<uInt>(chunk.size() - 4));
    QByteArray crcBytes(4, '\0');
    qToBigEndian(static_cast<quint32>(crc), crcBytes.data());
    return chunk + crcBytes;
}

// Inflates `compressed` into `out` (when given) up to `most` bytes; the
// bytes it would give, counted up to most + 1.
qint64 Inflate(const QByteArray& compressed, qint64 most, QByteArray* out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::vector<Bytef> sink(1 << 16);
    qint64 inflated = 0;
    int result = Z_OK;
    while (result == Z_OK && inflated <= most) {
        const qint64 room = out ? std::min<qint64>(most - inflated, qint64{1} << 30) : qint64(sink.size());
        if (room == 0) break;
        stream.next_out = out ? reinterpret_cast<Bytef*>(out->data() + inflated) : sink.data();
        stream.avail_out = static_cast<uInt>(room);
        result = inflate(&stream, Z_NO_FLUSH);
        inflated += room - stream.avail_out;
    }
    inflateEnd(&stream);
    return inflated;
}

// More than any image read whole needs inflated (16 megapixels at 8 bytes):
// a header that claims more is refused by its size before it decodes.
constexpr qint64 kMostInflated = qint64{1} << 28;

}  // namespace

QByteArray PngInflateBounded(const QByteArray& png) {
    const std::vector<Chunk> chunks = ChunksOf(png);
    if (chunks.empty() || chunks.front().type != "IHDR" || chunks.front().length < 13) return png;
    QByteArray compressed;
    for (const Chunk& chunk : chunks)
        if (chunk.type == "IDAT") compressed.append(png.constData() + chunk.at + 8, chunk.length);
    // The stream must fit zlib's counts; a larger one is no picture we read.
    const qint64 needed = InflatedBytes(png, chunks.front());
    if (compressed.size() > qsizetype{0x7FFFFFFF} || needed > kMostInflated ||
        Inflate(compressed, needed, nullptr) <= needed)
        return png;
    // The rows the image holds, deflated anew into a stream that ends there.
    QByteArray rows(needed, Qt::Uninitialized);
    rows.resize(Inflate(compressed, needed, &rows));
    QByteArray kept(static_cast<qsizetype>(compressBound(static_cast<uLong>(rows.size()))),
                    Qt::Uninitialized);
    uLongf keptSize = static_cast<uLongf>(kept.size());
    if (compress2(reinterpret_cast<Bytef*>(kept.data()), &keptSize,
                  reinterpret_cast<const Bytef*>(rows.constData()), static_cast<uLong>(rows.size()),
                  1) != Z_OK)
        return png;
    kept.resize(static_cast<qsizetype>(keptSize));
    // Every IDAT gives way to one holding what is kept, where the first was.
    QByteArray bounded = png.left(kSignatureSize);
    bool idatWritten = false;
    for (const Chunk& chunk : chunks) {
        if (chunk.type != "IDAT") {
            bounded.append(png.constData() + chunk.at, kChunkOverhead + chunk.length);
        } else if (!idatWritten) {
            bounded.append(ChunkOf("IDAT", kept));
            idatWritten = true;
        }
    }
    return bounded;
}
