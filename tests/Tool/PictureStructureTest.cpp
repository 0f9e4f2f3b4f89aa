#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include "Tool/PictureStructure.h"

namespace {

QByteArray Chunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    return chunk + type + data + QByteArray(4, '\0');
}

QList<QByteArray> ChunkTypes(const QByteArray& png) {
    QList<QByteArray> types;
    for (qsizetype at = 8; at + 8 <= png.size(); at += 12 + qFromBigEndian<quint32>(png.constData() + at))
        types.append(png.mid(at + 4, 4));
    return types;
}

// Only the chunks that make pixels reach the decoder, and a chunk claiming
// more than the file holds ends what is kept.
TEST(PngPixelChunksOf, KeepsThePixelChunksUpToTheFirstThatOverrunsTheFile) {
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray head = signature + Chunk("IHDR", QByteArray(13, 1)) + Chunk("tEXt", "a comment") +
                            Chunk("PLTE", QByteArray(6, 2)) + Chunk("IDAT", "pixels");
    QByteArray lying = Chunk("tEXt", "claims 1 GB");
    qToBigEndian<quint32>(1u << 30, lying.data());
    QFile regression(
        QStringLiteral(VANTEL_SOURCE_DIR "/fuzz/regressions/import/png-text-chunk-claims-1gb.png"));
    ASSERT_TRUE(regression.open(QIODevice::ReadOnly));
    const struct {
        const char* name;
        QByteArray png;
        QList<QByteArray> kept;
        bool cutShort;
    } cases[] = {
        {"whole", head + Chunk("IEND", {}), {"IHDR", "PLTE", "IDAT", "IEND"}, false},
        {"lying chunk", head + lying + Chunk("IEND", {}), {"IHDR", "PLTE", "IDAT", "IEND"}, true},
        {"no end", head, {"IHDR", "PLTE", "IDAT", "IEND"}, true},
        {"cut in a chunk", head.left(head.size() - 3), {"IHDR", "PLTE", "IEND"}, true},
        {"fuzzer's file", regression.readAll(), {"IHDR", "IDAT", "IEND"}, true},
    };
    for (const auto& c : cases) {
        const PngPixelChunks kept = PngPixelChunksOf(c.png);
        EXPECT_EQ(ChunkTypes(kept.bytes), c.kept) << c.name;
        EXPECT_EQ(kept.cutShort, c.cutShort) << c.name;
        EXPECT_TRUE(kept.bytes.startsWith(signature)) << c.name;
    }
}

}  // namespace
