// Pictures past the size read whole that the import still takes, reduced:
// 16-bit PNGs, and uncompressed BMPs larger than any file read whole (sparse
// here, a few rows of white at the bottom), and a PNG whose pixels inflate
// far past what its image holds.
#include <zlib.h>

#include <QFile>
#include <QtEndian>
#include <ctime>

#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3LargePictureTest : public ToolTest {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(Scratch(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    // A bottom-up 24-bit BMP whose first `whiteRows` stored rows are white
    // and whose others are left as holes in the file.
    QString SparseBmp(const QString& name, int side, int whiteRows) {
        const qint64 rowBytes = (qint64{side} * 3 + 3) / 4 * 4;
        const qint64 size = 54 + rowBytes * side;
        QByteArray header(54, '\0');
        header[0] = 'B', header[1] = 'M';
        const auto u32 = [&](int at, quint32 value) { qToLittleEndian(value, header.data() + at); };
        u32(2, static_cast<quint32>(size)), u32(10, 54), u32(14, 40), u32(18, side), u32(22, side);
        qToLittleEndian<quint16>(1, header.data() + 26);
        qToLittleEndian<quint16>(24, header.data() + 28);
        QFile file(Scratch(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(header) == 54);
        EXPECT_EQ(file.write(QByteArray(rowBytes * whiteRows, '\xFF')), rowBytes * whiteRows);
        EXPECT_TRUE(file.resize(size));
        return file.fileName();
    }
    // The import leaves the picture on the canvas without a word.
    void ExpectImported(const QString& path, const QColor& seen) {
        SCOPED_TRACE(path.toStdString());
        form->Command8->click();
        ui.messages.clear();
        ui.files = {path};
        form->Command2->click();
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().second.toStdString();
        EXPECT_GT(CountPixels(form->Picture1->image(), seen), 0);
    }
};

TEST_F(Form3LargePictureTest, DeepPngsAndBmpsOfHundredsOfMegapixelsImportReduced) {
    StartForm();
    for (const int side : {3000, 4096}) {
        QImage deep(side, side, QImage::Format_RGBA64);
        deep.fill(QColor(0, 128, 255));
        const QString path = Scratch(QStringLiteral("deep%1.png").arg(side));
        ASSERT_TRUE(deep.save(path, "PNG"));
        ExpectImported(path, QColor(0, 128, 255));
    }
    for (const int side : {16000, 20000})
        ExpectImported(SparseBmp(QStringLiteral("huge%1.bmp").arg(side), side, 200), Qt::white);
}

// A 256 x 256 grey PNG whose pixel data runs on as 4 GiB of zeros: cut
// where the image is full, and read as if it ended there, without a word
// and without the CPU time inflating the rest would take.
TEST_F(Form3LargePictureTest, APngInflatesNoFurtherThanItsImage) {
    QByteArray rows;
    for (int y = 0; y < 256; ++y) rows += '\0' + QByteArray(256, '\x80');
    z_stream stream{};
    ASSERT_EQ(deflateInit(&stream, 9), Z_OK);
    const auto deflated = [&stream](const QByteArray& in, int flush) {
        QByteArray bytes;
        char out[1 << 16];
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
        stream.avail_in = static_cast<uInt>(in.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            bytes.append(out, static_cast<qsizetype>(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
        return bytes;
    };
    // A full flush forgets what came before, so one block of zeros repeats.
    QByteArray compressed = deflated(rows, Z_FULL_FLUSH);
    const QByteArray zeros = deflated(QByteArray(1 << 24, '\0'), Z_FULL_FLUSH);
    for (int i = 0; i < 256; ++i) compressed += zeros;  // 4 GiB
    compressed += deflated(QByteArray(), Z_FINISH);
    deflateEnd(&stream);
    const auto chunk = [](const char* type, const QByteArray& data) {
        QByteArray bytes(4, '\0');
        qToBigEndian(static_cast<quint32>(data.size()), bytes.data());
        bytes += QByteArray(type) + data;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 4),
                                static_cast<uInt>(bytes.size() - 4));
        QByteArray crcBytes(4, '\0');
        qToBigEndian(static_cast<quint32>(crc), crcBytes.data());
        return bytes + crcBytes;
    };
    const QByteArray ihdr = QByteArray::fromHex("0000010000000100") + QByteArray::fromHex("0800000000");
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", ihdr) + chunk("IDAT", compressed) +
                           chunk("IEND", QByteArray());

    // Read to its end, it would cost its decoder seconds of inflating.
    StartForm();
    const std::clock_t started = std::clock();
    ExpectImported(Write(QStringLiteral("bomb.png"), png), QColor(0x80, 0x80, 0x80));
    EXPECT_LT(std::clock() - started, CLOCKS_PER_SEC) << "the import inflated the whole stream";
}

}  // namespace
