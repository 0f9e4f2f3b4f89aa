#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QtEndian>

#include "Tool/PictureFile.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3Import : public ToolTest {
protected:
    // A picture whose every pixel tells where it came from.
    static QImage Picture(int width, int height) {
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, qRgb(1 + x % 255, 1 + y % 255, 1 + (x / 255 + y / 255) % 255));
        return picture;
    }
    // A one-colour GIF, written by hand as Qt cannot write GIF. Its LZW
    // stream clears the table after every two pixels, so every code stays
    // three bits wide.
    static QByteArray FlatGif(int width, int height, QRgb color) {
        QByteArray gif("GIF89a");
        const auto u16 = [&](int v) { gif += char(v & 0xFF), gif += char(v >> 8); };
        u16(width), u16(height);
        gif += char(0x80), gif += char(0), gif += char(0);  // two-entry colour table
        gif += char(qRed(color)), gif += char(qGreen(color)), gif += char(qBlue(color));
        gif += QByteArray(3, '\0');
        gif += char(0x2C), u16(0), u16(0), u16(width), u16(height), gif += char(0);
        gif += char(2);  // minimum code size
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        const auto code = [&](quint32 c) {
            bits |= c << count;
            for (count += 3; count >= 8; count -= 8, bits >>= 8) data += char(bits & 0xFF);
        };
        const int pixels = width * height;
        for (int i = 0; i < pixels; ++i) {
            if (i % 2 == 0) code(4);  // clear
            code(0);
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
    // A JPEG file of `picture` whose orientation tag says `orientation`.
    QString SaveOriented(const QImage& picture, const QString& name, quint16 orientation) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(picture.save(&buffer, "JPG", 95));
        // Exif, little-endian TIFF, one directory entry: tag 0x0112, a SHORT.
        QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0__\0\0\0\0\0\0", 32);
        qToLittleEndian(orientation, exif.data() + 24);
        QByteArray segment("\xFF\xE1\0\0", 4);
        qToBigEndian<quint16>(exif.size() + 2, segment.data() + 2);
        QFile file(Scratch(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(jpeg.left(2) + segment + exif + jpeg.mid(2));
        return file.fileName();
    }
    QString Save(const QImage& picture, const QString& name, const char* format) {
        QDir().mkpath(QFileInfo(Scratch(name)).absolutePath());
        EXPECT_TRUE(picture.save(Scratch(name), format));
        return Scratch(name);
    }
};

TEST_F(Form3Import, EveryPictureIsFittedAndCentredOnBlack) {
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

TEST_F(Form3Import, JpegAndGifPicturesLoadWhateverTheirNamesCase) {
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

TEST_F(Form3Import, TheOpenDialogListsEveryNameOfItsFormats) {
    StartForm();
    form->Command2->click();  // cancelled
    EXPECT_EQ(form->CommonDialog1.Filter,
              QStringLiteral("画像ﾌｧｲﾙ(*.bmp;*.jpg;*.jpeg;*.jpe;*.gif)|*.bmp;*.jpg;*.jpeg;*.jpe;*.gif"));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const QString filter = ui.fileRequests[0].nameFilters.value(0);
    const QStringList patterns = filter.mid(filter.lastIndexOf(QLatin1Char('(')) + 1).chopped(1).split(u' ');
    const struct {
        const char* name;
        bool listed;
    } cases[] = {{"photo.jpeg", true}, {"PHOTO.JPEG", true}, {"p.jpe", true},  {"p.JPG", true},
                 {"p.bmp", true},      {"p.gif", true},      {"p.png", false}, {"p.jpeg.txt", false}};
    for (const auto& c : cases) {
        const bool listed = std::any_of(patterns.begin(), patterns.end(), [&](const QString& pattern) {
            return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                .match(QString::fromLatin1(c.name))
                .hasMatch();
        });
        EXPECT_EQ(listed, c.listed) << c.name;
    }
}

// A 48-megapixel photograph is read at a reduced scale that still covers the
// canvas, and placed by its own size: 6000 x 8000 is 192 x 256 at x = 32, as
// the reduced 256 x 342 alone would not give (191 wide).
TEST_F(Form3Import, APhotoOfManyMegapixelsIsReadReducedAndFittedByItsOwnSize) {
    QImage photo(6000, 8000, QImage::Format_Grayscale8);
    for (int y = 0; y < photo.height(); ++y) {
        uchar* row = photo.scanLine(y);
        std::fill(row, row + 3000, uchar{60});
        std::fill(row + 3000, row + 6000, uchar{200});
    }
    QImageWriter writer(Scratch(QStringLiteral("photo.jpeg")), "jpeg");
    writer.setQuality(10);
    ASSERT_TRUE(writer.write(photo));
    photo = QImage();
    StartForm();
    ui.files = {writer.fileName()};
    form->Command2->click();
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].second.toStdString();
    EXPECT_EQ(form->Picture3->Picture().size(), QSize(256, 342));
    const QImage& canvas = form->Picture1->image();
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int grey = qGreen(canvas.pixel(x, y));
            const int expected = x < 32 || x >= 224 ? 0 : x < 128 ? 60 : 200;
            if (x == 127 || x == 128) continue;  // where the halves blur into each other
            ASSERT_NEAR(grey, expected, 8) << x << "," << y;
        }
    }
}

// A photograph stored on its side shows upright, as its orientation tag says.
TEST_F(Form3Import, APhotographShowsUprightAsItsOrientationTagSays) {
    QImage picture(60, 30, QImage::Format_RGB32);  // red left half, blue right half
    picture.fill(Qt::blue);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) picture.setPixel(x, y, qRgb(255, 0, 0));
    const struct {
        quint16 orientation;
        QPoint red, blue, black;  // canvas pixels
    } cases[] = {
        {1, {60, 128}, {196, 128}, {128, 40}},  // as stored: 256 x 128, red left
        {3, {196, 128}, {60, 128}, {128, 40}},  // turned half round: red right
        {6, {128, 60}, {128, 196}, {40, 128}},  // turned a quarter clockwise: red on top
        {8, {128, 196}, {128, 60}, {40, 128}},  // a quarter the other way: red below
    };
    StartForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        ui.files = {SaveOriented(picture, QStringLiteral("o%1.jpg").arg(c.orientation), c.orientation)};
        form->Command2->click();
        const QImage& canvas = form->Picture1->image();
        EXPECT_GT(qRed(canvas.pixel(c.red)), 200);
        EXPECT_GT(qBlue(canvas.pixel(c.blue)), 200);
        EXPECT_EQ(canvas.pixel(c.black), qRgb(0, 0, 0));
    }
}

TEST_F(Form3Import, CancelChangesNothing) {
    StartForm();
    const QString first = Save(Picture(50, 50), QStringLiteral("a/first.bmp"), "BMP");
    ui.files = {first};
    form->Command2->click();
    const QImage before = form->Picture1->image();
    const QString dir = form->dirPath;
    form->Command2->click();  // cancelled
    EXPECT_EQ(form->Picture1->image(), before);
    EXPECT_EQ(form->dirPath, dir);
    EXPECT_EQ(form->openFileName, first);
    // The dialog opened where the first picture lay, with its name.
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].directory, Scratch(QStringLiteral("a")));
    EXPECT_EQ(ui.fileRequests[1].fileName, first);
}

TEST_F(Form3Import, DirectoryFollowsThePictureAndIsWrittenOnlyBySaving) {
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

TEST_F(Form3Import, AnUndecodableFileShowsTheMessageAndLeavesTheCanvas) {
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
              QStringLiteral("画像を読み込めません。\n%1\nBMP、JPEG、GIF のいずれの画像でもありません。")
                  .arg(fake));
    EXPECT_EQ(form->Picture1->image(), before);
    EXPECT_EQ(form->dirPath, QStringLiteral("C:\\"));
    EXPECT_TRUE(form->openFileName.isEmpty());
}

// What lies under a picture's name may be no picture at all, or one whose
// header claims a size that would exhaust the tool: the start-up's texture
// and the import refuse each at once, as they do any unreadable picture.
TEST_F(Form3Import, SpecialFilesAndHugeHeadersAreRefusedAtOnce) {
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(Scratch(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const auto encoded = [](const QImage& image, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    QByteArray bmp = encoded(Picture(8, 8), "BMP");
    qToLittleEndian<qint32>(60000, bmp.data() + 18);
    qToLittleEndian<qint32>(60000, bmp.data() + 22);
    QByteArray jpeg = encoded(Picture(8, 8), "JPG");
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
    const QString sparse = write(QStringLiteral("sparse.bmp"), encoded(Picture(8, 8), "BMP"));
    ASSERT_EQ(truncate(QFile::encodeName(sparse).constData(), off_t{1} << 30), 0);  // 1 GB, no disk

    // The open dialog itself refuses what is no file.
    const QString noFile = QStringLiteral("ファイルが見つかりません。");
    const QString damaged = QStringLiteral("画像のデータが壊れています(");
    const struct {
        QString path, reason;
    } cases[] = {
        {fifo, noFile},
        {directory, noFile},
        {QStringLiteral("/dev/zero"), noFile},
        {sparse, QStringLiteral("ファイルが大きすぎます(65 MB を超えています)。")},
        {write(QStringLiteral("huge.bmp"), bmp), damaged},  // far less data than its size
        {write(QStringLiteral("huge.jpg"), jpeg),
         QStringLiteral("画像が大きすぎます(60000 × 60000 ピクセル)。")},
        {write(QStringLiteral("huge.gif"), gif), damaged},  // beyond the decoder's allocation limit
        {write(QStringLiteral("cut.jpg"), jpeg.left(frame)), damaged},
    };
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

}  // namespace
