#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <vector>

#include "Tool/PictureFile.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3ImportTest : public ToolTest {
protected:
    // A picture whose every pixel tells where it came from.
    static QImage Picture(int width, int height) {
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, qRgb(1 + x % 255, 1 + y % 255, 1 + (x / 255 + y / 255) % 255));
        return picture;
    }
    // A GIF written by hand, as Qt cannot write GIF: colour `a` in the
    // top-left and bottom-right quarters, `b` in the others, its rows stored
    // in order or interlaced. Its LZW stream clears the table after every
    // two pixels, so every code stays three bits wide.
    static QByteArray QuarteredGif(int width, int height, QRgb a, QRgb b, bool interlaced = false) {
        QByteArray gif("GIF89a");
        const auto u16 = [&](int v) { gif += char(v & 0xFF), gif += char(v >> 8); };
        u16(width), u16(height);
        gif += char(0x80), gif += char(0), gif += char(0);  // two-entry colour table
        for (const QRgb color : {a, b})
            gif += char(qRed(color)), gif += char(qGreen(color)), gif += char(qBlue(color));
        gif += char(0x2C), u16(0), u16(0), u16(width), u16(height), gif += char(interlaced ? 0x40 : 0);
        gif += char(2);  // minimum code size
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        const auto code = [&](quint32 c) {
            bits |= c << count;
            for (count += 3; count >= 8; count -= 8, bits >>= 8) data += char(bits & 0xFF);
        };
        std::vector<int> rows;  // in the order stored: interlaced, in four passes
        for (const auto& [start, step] :
             interlaced ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                        : std::vector<std::pair<int, int>>{{0, 1}})
            for (int y = start; y < height; y += step) rows.push_back(y);
        int written = 0;
        for (const int y : rows) {
            for (int x = 0; x < width; ++x, ++written) {
                if (written % 2 == 0) code(4);  // clear
                code((x < width / 2) != (y < height / 2) ? 1 : 0);
            }
        }
        code(5);  // end
        if (count > 0) data += char(bits & 0xFF);
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            gif += char(block.size());
            gif += block;
        }
        gif += char(0), gif += char(0x3B);
        return gif;
    }
    static QByteArray FlatGif(int width, int height, QRgb color) {
        return QuarteredGif(width, height, color, color);
    }
    // True when `pixel` is, unblended, one of the picture's pixels in the
    // span that destination pixel `d` of `fit` covers (per axis).
    static bool FromOneSourcePixel(QRgb pixel, const QImage& picture, QPoint d, QSize fit) {
        const auto span = [](int at, int source, int target) {
            return std::pair{at * source / target, ((at + 1) * source + target - 1) / target};
        };
        const auto [x0, x1] = span(d.x(), picture.width(), fit.width());
        const auto [y0, y1] = span(d.y(), picture.height(), fit.height());
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (picture.valid(x, y) && picture.pixel(x, y) == pixel) return true;
        return false;
    }
    static QByteArray Encoded(const QImage& image, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    QString Save(const QImage& picture, const QString& name, const char* format) {
        QDir().mkpath(QFileInfo(Scratch(name)).absolutePath());
        EXPECT_TRUE(picture.save(Scratch(name), format));
        return Scratch(name);
    }
};

TEST_F(Form3ImportTest, EveryPictureIsFittedAndCentredOnBlack) {
    const struct {
        int width, height;
        QRect placed;
    } cases[] = {
        {300, 200, {0, 43, 256, 170}}, {200, 300, {43, 0, 170, 256}}, {640, 480, {0, 32, 256, 192}},
        {512, 256, {0, 64, 256, 128}}, {64, 64, {0, 0, 256, 256}},    {100, 300, {86, 0, 85, 256}},
        {1000, 999, {0, 0, 256, 255}},
    };
    StartForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const QImage picture = Picture(c.width, c.height);
        const QString path = Save(picture, QStringLiteral("p%1x%2.bmp").arg(c.width).arg(c.height), "BMP");
        // Paint first: the import replaces everything.
        form->BeginStroke(0, 0);
        form->ContinueStroke(3840, 3840);
        form->EndStroke();
        ui.files = {path};
        form->Command2->click();
        const QImage& canvas = form->Picture1->image();
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                if (!c.placed.contains(x, y)) {
                    ASSERT_EQ(canvas.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(FromOneSourcePixel(canvas.pixel(x, y), picture, QPoint(x, y) - c.placed.topLeft(),
                                               c.placed.size()))
                    << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Form3ImportTest, JpegAndGifPicturesLoadWhateverTheirNamesCase) {
    StartForm();
    QImage flat(128, 128, QImage::Format_RGB32);
    flat.fill(qRgb(255, 255, 255));
    ui.files = {Save(flat, QStringLiteral("PHOTO.JPG"), "JPG")};
    form->Command2->click();
    EXPECT_EQ(CountPixels(form->Picture1->image(), Qt::white), 256 * 256);

    QFile gif(Scratch(QStringLiteral("Anim.GIF")));
    ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
    gif.write(FlatGif(16, 8, qRgb(0, 0, 255)));
    gif.close();
    ui.files = {gif.fileName()};
    form->Command2->click();
    EXPECT_EQ(CountPixels(form->Picture1->image(), QColor(0, 0, 255)), 256 * 128);
    EXPECT_TRUE(ui.messages.empty());
}

// A 48-megapixel photograph stored on its side (8000 x 6000, Exif orientation
// 6) is read reduced and upright, and placed by its own size: 192 x 256 at
// x = 32, which the reduced 256 x 342 alone would not give (191 wide).
TEST_F(Form3ImportTest, APhotoOfManyMegapixelsIsReadReducedUprightAndFittedByItsOwnSize) {
    QImage photo(8000, 6000, QImage::Format_Grayscale8);
    photo.fill(QColor(60, 60, 60));
    for (int y = 0; y < photo.height(); ++y) std::fill_n(photo.scanLine(y) + 4000, 4000, uchar{200});
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&buffer, "JPG", 10));
    // After the start of image, an Exif segment whose one tag is orientation 6.
    jpeg.insert(2, QByteArray("\xFF\xE1\0\x22"
                              "Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0",
                              36));
    QFile file(Scratch(QStringLiteral("photo.jpeg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size());
    file.close();
    StartForm();
    ui.files = {file.fileName()};
    form->Command2->click();
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].second.toStdString();
    EXPECT_EQ(form->Picture3->Picture().size(), QSize(256, 342));
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (y == 127 || y == 128) continue;  // where the halves blur into each other
            const int expected = x < 32 || x >= 224 ? 0 : y < 128 ? 60 : 200;
            ASSERT_NEAR(qGreen(form->Picture1->image().pixel(x, y)), expected, 8) << x << "," << y;
        }
    }
}

TEST_F(Form3ImportTest, CancelChangesNothing) {
    StartForm();
    const QString first = Save(Picture(50, 50), QStringLiteral("a/first.bmp"), "BMP");
    ui.files = {first};
    form->Command2->click();
    const QImage before = form->Picture1->image();
    const QString dir = form->dirPath;
    form->Command2->click();  // cancelled
    EXPECT_EQ(form->CommonDialog1.Filter,
              QStringLiteral(
                  "画像ﾌｧｲﾙ(*.bmp;*.jpg;*.jpeg;*.jpe;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.jpe;*.gif;*.png"));
    EXPECT_EQ(form->Picture1->image(), before);
    EXPECT_EQ(form->dirPath, dir);
    EXPECT_EQ(form->openFileName, first);
    // The dialog opened where the first picture lay, with its name.
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].directory, Scratch(QStringLiteral("a")));
    EXPECT_EQ(ui.fileRequests[1].fileName, first);
}

TEST_F(Form3ImportTest, DirectoryFollowsThePictureAndIsWrittenOnlyBySaving) {
    StartForm();
    const QString picture = Save(Picture(40, 30), QStringLiteral("pics/sub/p.bmp"), "BMP");
    ui.files = {picture};
    form->Command2->click();
    EXPECT_EQ(form->dirPath, Scratch(QStringLiteral("pics/sub")));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_EQ(form->penWidth, 30);
    EXPECT_EQ(form->penColor, 255);

    ui.files = {QStringLiteral("texture")};  // typed in the folder the dialog opened in
    form->Command3->click();
    EXPECT_EQ(form->CommonDialog2.InitDir, Scratch(QStringLiteral("pics/sub")));
    EXPECT_TRUE(ReadSettingsFile().contains(
        QStringLiteral("FILENAME=%1\nDIR=%2\n")
            .arg(Scratch(QStringLiteral("pics/sub/texture.bmp")), Scratch(QStringLiteral("pics/sub")))));
}

TEST_F(Form3ImportTest, AnUndecodableFileShowsTheMessageAndLeavesTheCanvas) {
    StartForm();
    form->BeginStroke(300, 300);
    form->ContinueStroke(2000, 1000);
    form->EndStroke();
    const QImage before = form->Picture1->image();
    const QString fake = Scratch(QStringLiteral("elsewhere/fake.jpg"));
    QDir().mkpath(Scratch(QStringLiteral("elsewhere")));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no JPEG");
    file.close();
    ui.files = {fake};
    form->Command2->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, QStringLiteral("注意"));
    EXPECT_EQ(ui.messages[0].second,
              QStringLiteral("画像を読み込めません。\n%1\nBMP、JPEG、GIF、PNG のいずれの画像でもありません。")
                  .arg(fake));
    EXPECT_EQ(form->Picture1->image(), before);
    EXPECT_EQ(form->dirPath, QStringLiteral("C:\\"));
    EXPECT_TRUE(form->openFileName.isEmpty());
}

// What lies under a picture's name may be no picture at all, or one whose
// header claims a size that would exhaust the tool: the start-up's texture
// and the import refuse each at once, as they do any unreadable picture.
TEST_F(Form3ImportTest, SpecialFilesAndHugeHeadersAreRefusedAtOnce) {
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(Scratch(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QByteArray bmp = Encoded(Picture(8, 8), "BMP");
    qToLittleEndian<qint32>(60000, bmp.data() + 18);
    qToLittleEndian<qint32>(60000, bmp.data() + 22);
    QByteArray jpeg = Encoded(Picture(8, 8), "JPG");
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    qToBigEndian<quint16>(60000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(60000, jpeg.data() + frame + 7);
    QByteArray gif = FlatGif(8, 8, qRgb(9, 9, 9));  // a small frame on a huge screen
    qToLittleEndian<quint16>(60000, gif.data() + 6);
    qToLittleEndian<quint16>(60000, gif.data() + 8);

    const QString fifo = Scratch(QStringLiteral("fifo.bmp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString directory = Scratch(QStringLiteral("folder.bmp"));
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString sparse = write(QStringLiteral("sparse.bmp"), Encoded(Picture(8, 8), "BMP"));
    ASSERT_EQ(truncate(QFile::encodeName(sparse).constData(), off_t{1} << 30), 0);  // 1 GB, no disk

    // The open dialog itself refuses what is no file; the import says why it refuses the rest.
    const QString noFile = QStringLiteral("ファイルが見つかりません。");
    const QString damaged = QStringLiteral("画像のデータが壊れています(");
    const std::pair<QString, QString> cases[] = {
        {fifo, noFile},
        {directory, noFile},
        {QStringLiteral("/dev/zero"), noFile},
        {sparse, QStringLiteral("ファイルが大きすぎます(65 MB を超えています)。")},
        {write(QStringLiteral("huge.bmp"), bmp),
         QStringLiteral("画像が大きすぎます(60000 × 60000 ピクセル)。")},
        {write(QStringLiteral("huge.gif"), gif), damaged},
        {write(QStringLiteral("huge.jpg"), jpeg),
         QStringLiteral("画像が大きすぎます(60000 × 60000 ピクセル)。")},
        {write(QStringLiteral("cut.jpg"), jpeg.left(frame)), damaged}};
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        WriteSettingsFile(QStringLiteral("[SETTING]\nFILENAME=%1\n").arg(path));
        StartForm();
        EXPECT_EQ(CountPixels(form->Picture1->image(), Qt::black), 256 * 256);
        form->BeginStroke(300, 300);
        form->ContinueStroke(2000, 1000);
        const QImage painted = form->Picture1->image();
        ui.messages.clear();
        ui.files = {path};
        form->Command2->click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].second.contains(reason)) << ui.messages[0].second.toStdString();
        EXPECT_EQ(form->Picture1->image(), painted);
    }
}

// A PNG lands on the canvas exactly as a BMP of the same pixels does.
TEST_F(Form3ImportTest, APngImportsAsTheSameBmpDoes) {
    StartForm();
    for (const QSize size : {QSize(300, 200), QSize(64, 64), QSize(100, 300)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage picture = Picture(size.width(), size.height());
        ui.files = {Save(picture, QStringLiteral("same.bmp"), "BMP")};
        form->Command2->click();
        const QImage fromBmp = form->Picture1->image().copy();
        ui.files = {Save(picture, QStringLiteral("same.png"), "PNG")};
        form->Command2->click();
        EXPECT_EQ(form->Picture1->image(), fromBmp);
    }
    EXPECT_TRUE(ui.messages.empty());
}

// A file cut short or partly corrupt is never shown without a word: what
// could be read is imported and the message says which part could not, or
// nothing is imported and the message says why.
TEST_F(Form3ImportTest, DamagedPicturesSaySo) {
    const QByteArray jpeg = Encoded(Picture(256, 256), "JPG");
    const QByteArray bmp = Encoded(Picture(64, 64), "BMP");
    const QByteArray gif = FlatGif(64, 64, qRgb(200, 0, 0));
    const QByteArray png = Encoded(Picture(64, 64), "PNG");
    QFile regression(
        QStringLiteral(VANTEL_SOURCE_DIR "/fuzz/regressions/import/png-text-chunk-claims-1gb.png"));
    ASSERT_TRUE(regression.open(QIODevice::ReadOnly));
    const QString partly = QStringLiteral("画像の一部を読み込めませんでした。\n");
    const QString refused = QStringLiteral("画像を読み込めません。\n");
    const QString cut = QStringLiteral("ファイルが途中で終わっています。");
    const struct {
        const char* name;
        QByteArray bytes;
        QString heading, reason;
    } cases[] = {
        {"cut.jpg", jpeg.left(jpeg.size() * 2 / 3), partly,
         QStringLiteral("画像のデータの一部が壊れています(")},
        {"cut.bmp", bmp.left(bmp.size() / 2), partly, cut},
        {"cut.gif", gif.left(gif.size() / 2), partly, cut},
        {"text-chunk-claims-1gb.png", regression.readAll(), partly, cut},
        {"cut.png", png.left(png.size() / 2), refused, QStringLiteral("画像のデータが壊れています(")},
    };
    StartForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(Scratch(QString::fromLatin1(c.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        file.close();
        form->Command8->click();
        ui.messages.clear();
        ui.files = {file.fileName()};
        form->Command2->click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].first, QStringLiteral("注意"));
        EXPECT_TRUE(ui.messages[0].second.startsWith(c.heading + file.fileName() + QLatin1Char('\n')))
            << ui.messages[0].second.toStdString();
        EXPECT_TRUE(ui.messages[0].second.contains(c.reason)) << ui.messages[0].second.toStdString();
        const bool imported = CountPixels(form->Picture1->image(), Qt::black) < 256 * 256;
        EXPECT_EQ(imported, c.heading == partly);
    }
}

// 4800 x 3600 pixels, 17 megapixels, in quarters of two colours: read a
// band or a row at a time to 342 x 256, and cut short, read in part.
TEST_F(Form3ImportTest, LargeBmpAndGifPicturesAreReducedAsPhotosAre) {
    const QRgb a = qRgb(0, 0, 255), b = qRgb(255, 255, 0);
    QImage quartered(4800, 3600, QImage::Format_Indexed8);
    quartered.setColorTable({a, b});
    for (int y = 0; y < 3600; ++y) {
        std::fill_n(quartered.scanLine(y), 2400, uchar(y < 1800 ? 0 : 1));
        std::fill_n(quartered.scanLine(y) + 2400, 2400, uchar(y < 1800 ? 1 : 0));
    }
    QFile bmp(Save(quartered, QStringLiteral("large.bmp"), "BMP"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const std::pair<const char*, QByteArray> cases[] = {
        {"large.bmp", bmp.readAll()},
        {"large.gif", QuarteredGif(4800, 3600, a, b)},
        {"interlaced.gif", QuarteredGif(4800, 3600, a, b, true)}};
    StartForm();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        for (const bool whole : {true, false}) {
            QFile file(Scratch(QString::fromLatin1(name)));
            const QByteArray written = whole ? bytes : bytes.left(bytes.size() / 4);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(written) == written.size());
            file.close();
            ui.messages.clear();
            ui.files = {file.fileName()};
            form->Command2->click();
            EXPECT_EQ(form->Picture3->Picture().size(), QSize(342, 256));
            const QImage& canvas = form->Picture1->image();
            if (!whole) {
                ASSERT_EQ(ui.messages.size(), 1u);
                EXPECT_TRUE(
                    ui.messages[0].second.endsWith(QStringLiteral("ファイルが途中で終わっています。")));
                EXPECT_GT(CountPixels(canvas.copy(0, 32, 256, 192), Qt::black), 0);
                continue;
            }
            ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].second.toStdString();
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 256; ++x) {
                    if (x == 127 || x == 128 || y == 127 || y == 128) continue;  // where the quarters meet
                    const QRgb expected = y < 32 || y >= 224 ? qRgb(0, 0, 0) : (x < 128) == (y < 128) ? a : b;
                    ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
