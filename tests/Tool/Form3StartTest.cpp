#include <QDir>
#include <QFile>

#include "Tool/PictureFile.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3StartTest : public ToolTest {
protected:
    // A 256 x 256 texture with distinct pixels, saved as the tool saves.
    QString WriteTexture(const QString& name, QImage* written = nullptr) {
        QImage texture(256, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) texture.setPixel(x, y, qRgb(x, y, 255 - x));
        const QString path = Scratch(name);
        WriteBitmap(texture, path);
        if (written) *written = texture;
        return path;
    }
};

TEST_F(Form3StartTest, WithoutASettingsFile) {
    Form3& window = StartForm();
    EXPECT_EQ(CountPixels(window.Picture1->image(), Qt::black), 256 * 256);
    EXPECT_EQ(window.HScroll1->value(), 5);
    EXPECT_EQ(window.penColor, 255);
    EXPECT_EQ(window.Picture2->BackColor(), QColor(255, 0, 0));
    EXPECT_EQ(window.penWidth, 30);
    EXPECT_EQ(window.dirPath, QStringLiteral("C:\\"));
    EXPECT_TRUE(window.textureFile.isEmpty());
    EXPECT_TRUE(ui.messages.empty());

    // The dialogs are asked to open in that directory.
    window.Command3->click();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(window.CommonDialog2.InitDir, QStringLiteral("C:\\"));
    EXPECT_EQ(ui.fileRequests[0].directory, QDir::homePath());
    window.Command2->click();
    EXPECT_EQ(window.CommonDialog1.InitDir, QStringLiteral("C:\\"));
}

TEST_F(Form3StartTest, ATextureWrittenByTheToolShowsExactly) {
    QImage texture;
    const QString path = WriteTexture(QStringLiteral("tex.bmp"), &texture);
    WriteSettingsFile(QStringLiteral("[SETTING]\nFILENAME=%1\nDIR=%2\nCOLOR=65280\n[SS_SECTION]\nSPEED=3\n")
                          .arg(path, Scratch(QString())));
    Form3& window = StartForm();
    EXPECT_EQ(window.Picture1->image(), texture);
    EXPECT_EQ(window.HScroll1->value(), 3);
    EXPECT_EQ(window.penColor, 65280);
    EXPECT_EQ(window.Picture2->BackColor(), QColor(0, 255, 0));
    EXPECT_EQ(window.penWidth, 30);
}

// The tool reads 1023 characters of a path, whatever bytes they take: this
// one holds almost three times as many bytes.
TEST_F(Form3StartTest, ATexturePathOfManyBytesLoadsWhenItsCharactersFit) {
    QString directory = Scratch(QStringLiteral("d"));
    while (directory.size() < 950) directory += QLatin1Char('/') + QString(60, QChar(0x7D75));
    ASSERT_TRUE(QDir().mkpath(directory));
    QImage texture;
    const QString path = WriteTexture(QStringLiteral("t.bmp"), &texture);
    const QString far = directory + QStringLiteral("/t.bmp");
    ASSERT_TRUE(QFile::rename(path, far));
    ASSERT_LT(far.size(), 1023);
    ASSERT_GT(far.toUtf8().size(), 2 * 1023);
    WriteSettingsFile(QStringLiteral("[SETTING]\nFILENAME=%1\n").arg(far));
    EXPECT_EQ(StartForm().Picture1->image(), texture);
}

TEST_F(Form3StartTest, ASmallTextureSitsAtTheTopLeftUnscaled) {
    QImage small(10, 6, QImage::Format_RGB32);
    small.fill(qRgb(1, 2, 3));
    WriteBitmap(small, Scratch(QStringLiteral("small.bmp")));
    WriteSettingsFile(QStringLiteral("[setting]\nfilename=%1\n").arg(Scratch(QStringLiteral("small.bmp"))));
    Form3& window = StartForm();
    EXPECT_EQ(CountPixels(window.Picture1->image(), QColor(1, 2, 3)), 60);
    EXPECT_EQ(window.Picture1->image().pixel(9, 5), qRgb(1, 2, 3));
    EXPECT_EQ(window.Picture1->image().pixel(10, 5), qRgb(0, 0, 0));
}

TEST_F(Form3StartTest, AMissingTextureLeavesTheCanvasBlackAndTheRestStillLoads) {
    WriteSettingsFile(
        QStringLiteral("[SETTING]\nFILENAME=%1\nCOLOR=16711680\nDIR=/tmp\n[SS_SECTION]\nSPEED=9\n")
            .arg(Scratch(QStringLiteral("gone.bmp"))));
    Form3& window = StartForm();
    EXPECT_EQ(CountPixels(window.Picture1->image(), Qt::black), 256 * 256);
    EXPECT_EQ(window.HScroll1->value(), 9);
    EXPECT_EQ(window.penColor, 16711680);
    EXPECT_EQ(window.Picture2->BackColor(), QColor(0, 0, 255));
    EXPECT_EQ(window.penWidth, 30);
    EXPECT_EQ(window.dirPath, QStringLiteral("/tmp"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Form3StartTest, SpeedTakesTheNearestWholePositionWithinTheSlider) {
    const struct {
        const char* text;
        int position;
    } cases[] = {
        {"7.5", 8},    {"6.5", 6}, {"11", 10},  {"-1", 0},     {"0", 0},      {"10", 10},
        {"4x", 4},     {"abc", 0}, {"", 0},     {"70000", 10}, {"-70000", 0}, {"1e400", 10},
        {"-1e400", 0}, {" 3 ", 3}, {"&HA", 10}, {"9.5", 10},   {"0.5", 0},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(QStringLiteral("[SS_SECTION]\nSPEED=%1\n[SETTING]\nCOLOR=123\n").arg(c.text));
        Form3& window = StartForm();
        EXPECT_EQ(window.HScroll1->value(), c.position) << c.text;
        EXPECT_EQ(window.penColor, 123) << c.text;
        EXPECT_EQ(window.penWidth, 30) << c.text;
    }
}

TEST_F(Form3StartTest, ColourThatDoesNotFitThirtyTwoBitsGivesRed) {
    const struct {
        const char* text;
        std::int32_t color;
        QColor swatch;
    } cases[] = {
        {"16711680", 16711680, QColor(0, 0, 255)},
        {"65280", 65280, QColor(0, 255, 0)},
        {"0", 0, QColor(0, 0, 0)},
        {"16777215", 16777215, QColor(255, 255, 255)},
        {"2147483648", 255, QColor(255, 0, 0)},
        {"99999999999", 255, QColor(255, 0, 0)},
        {"-2147483648", -2147483647 - 1, QColor(0, 0, 0)},
        {"blue", 0, QColor(0, 0, 0)},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(QStringLiteral("[SETTING]\nCOLOR=%1\n[SS_SECTION]\nSPEED=2\n").arg(c.text));
        Form3& window = StartForm();
        EXPECT_EQ(window.penColor, c.color) << c.text;
        EXPECT_EQ(window.Picture2->BackColor(), c.swatch) << c.text;
        EXPECT_EQ(window.HScroll1->value(), 2) << c.text;
        EXPECT_EQ(window.penWidth, 30) << c.text;
    }
}

TEST_F(Form3StartTest, DirectoryLosesItsTrailingBlanks) {
    WriteSettingsFile(QStringLiteral("[SETTING]\nDIR=/srv/pictures   \n"));
    EXPECT_EQ(StartForm().dirPath, QStringLiteral("/srv/pictures"));
}

}  // namespace
