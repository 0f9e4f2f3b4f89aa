#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include "Tool/PictureFile.h"

namespace {

QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 3, y * 5, (x ^ y) & 0xFF));
    return image;
}

TEST(EncodeBmp24Test, UncompressedTwentyFourBitsBottomUp) {
    // Odd widths need row padding.
    for (const int width : {256, 3, 5}) {
        const QByteArray bmp = EncodeBmp24(Pattern(width, 4));
        const int rowSize = (width * 3 + 3) / 4 * 4;
        ASSERT_EQ(bmp.size(), 54 + rowSize * 4) << width;
        const auto* bytes = reinterpret_cast<const uchar*>(bmp.constData());
        EXPECT_EQ(bmp.left(2), QByteArray("BM"));
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes + 2), quint32(bmp.size()));
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes + 10), 54u);
        EXPECT_EQ(qFromLittleEndian<qint32>(bytes + 18), width);
        EXPECT_EQ(qFromLittleEndian<qint32>(bytes + 22), 4);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes + 28), 24);
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes + 30), 0u);
        // The first stored row is the bottom one, blue first.
        const QRgb bottomLeft = Pattern(width, 4).pixel(0, 3);
        EXPECT_EQ(bytes[54], qBlue(bottomLeft));
        EXPECT_EQ(bytes[55], qGreen(bottomLeft));
        EXPECT_EQ(bytes[56], qRed(bottomLeft));
    }
}

TEST(EncodeBmp24Test, ReloadsPixelIdentical) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("canvas.bmp"));
    const QImage canvas = Pattern(256, 256);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeBmp24(canvas));
    file.close();
    const std::optional<QImage> loaded = LoadPicture(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, canvas);
}

TEST(LoadPictureTest, UndecodableFilesFailWithADescription) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fake.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    QString error;
    EXPECT_EQ(LoadPicture(path, &error), std::nullopt);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(LoadPicture(dir.filePath(QStringLiteral("missing.bmp"))), std::nullopt);
}

// Whatever the name says, only BMP, JPEG, GIF and PNG content is decoded.
TEST(LoadPictureTest, OnlyTheOfferedFormatsAreRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage picture = Pattern(6, 4);
    const struct {
        const char* name;
        const char* format;
        bool read;
    } cases[] = {{"p.bmp", "BMP", true},   {"p.jpg", "JPG", true},  {"p.png", "PNG", true},
                 {"png.bmp", "PNG", true}, {"p.ico", "ICO", false}, {"ico.bmp", "ICO", false}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(picture.save(path, c.format));
        QString error;
        const std::optional<QImage> loaded = LoadPicture(path, &error);
        EXPECT_EQ(loaded.has_value(), c.read) << c.name;
        EXPECT_EQ(error.isEmpty(), c.read) << c.name;
        if (loaded) {
            EXPECT_EQ(loaded->size(), picture.size()) << c.name;
        }
    }
}

// Only the chunks that make a PNG's pixels reach the decoder: a picture
// saved with a text chunk loads with no text, its pixels whole.
TEST(LoadPictureTest, APngsTextChunkNeverReachesTheDecoder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture = Pattern(6, 4);
    picture.setText(QStringLiteral("Comment"), QStringLiteral("a chunk that makes no pixel"));
    const QString path = dir.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(picture.save(path, "PNG"));
    ASSERT_EQ(QImage(path).text(QStringLiteral("Comment")), QStringLiteral("a chunk that makes no pixel"))
        << "the file holds no text chunk for the decoder to see";

    const std::optional<QImage> loaded = LoadPicture(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->textKeys(), QStringList());
    EXPECT_EQ(loaded->convertToFormat(QImage::Format_RGB32), picture);
}

}  // namespace
