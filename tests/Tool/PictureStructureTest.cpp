#include <gtest/gtest.h>

#include <QtEndian>

#include "Tool/PictureStructure.h"

namespace {

QByteArray Chunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    return chunk + type + data + QByteArray(4, '\0');
}

// Only the chunks that make pixels reach the decoder, and a chunk claiming
// more than the file holds ends what is kept.
TEST(PngPixelChunksOf, KeepsThePixelChunksUpToTheFirstThatOverrunsTheFile) {
    const QByteArray head = QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", QByteArray(13, 1));
    const QByteArray pixels = Chunk("PLTE", QByteArray(6, 2)) + Chunk("IDAT", "pixels");
    const QByteArray end("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    QByteArray lying = Chunk("tEXt", "claims 1 GB");
    qToBigEndian<quint32>(1u << 30, lying.data());
    const struct {
        QByteArray png, kept;
        bool cutShort;
    } cases[] = {
        {head + Chunk("tEXt", "a comment") + pixels + Chunk("zTXt", "more") + end, head + pixels + end,
         false},
        {head + pixels + lying + end, head + pixels + end, true},
        {head + pixels.chopped(3), head + Chunk("PLTE", QByteArray(6, 2)) + end, true},
    };
    for (const auto& c : cases) {
        const PngPixelChunks kept = PngPixelChunksOf(c.png);
        EXPECT_EQ(kept.bytes.toHex(), c.kept.toHex());
        EXPECT_EQ(kept.cutShort, c.cutShort);
    }
}

}  // namespace
