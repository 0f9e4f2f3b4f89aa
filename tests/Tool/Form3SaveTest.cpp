#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>

#include "Platform/Win32/Win32.h"
#include "Tool/PictureFile.h"
#include "Tool/SaveFailure.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

constexpr float kTwips = 15.0f;

// A file's bytes and the names beside it.
std::pair<QByteArray, QStringList> OnDisk(const QString& path) {
    QFile file(path);
    return {file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
            QFileInfo(path).dir().entryList(QDir::AllEntries | QDir::Hidden)};
}

class Form3SaveTest : public ToolTest {
protected:
    void PaintSomething() {
        form->BeginStroke(30 * kTwips, 40 * kTwips);
        form->ContinueStroke(200 * kTwips, 220 * kTwips);
        form->EndStroke();
    }
    QString Settings(const QString& file, const QString& dir, int speed, int color) const {
        return QStringLiteral("[SETTING]\nFILENAME=%1\nDIR=%2\nCOLOR=%3\n[SS_SECTION]\nSPEED=%4\n")
            .arg(file, dir)
            .arg(color)
            .arg(speed);
    }
};

TEST_F(Form3SaveTest, CancelWritesNothingAndShowsNothing) {
    StartForm();
    form->Command3->click();
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(form->saveFileName.isEmpty());
    EXPECT_TRUE(QDir(Scratch(QString())).isEmpty());
}

TEST_F(Form3SaveTest, CancelAfterASaveChangesNothing) {
    StartForm();
    const QString earlier = Scratch(QStringLiteral("earlier.bmp"));
    ui.files = {earlier};
    form->Command3->click();
    const auto picture = OnDisk(earlier);
    const QString settings = ReadSettingsFile();
    PaintSomething();
    form->HScroll1->setValue(9);
    form->Command3->click();
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].fileName, earlier);
    EXPECT_EQ(OnDisk(earlier), picture);
    EXPECT_EQ(ReadSettingsFile(), settings);
    EXPECT_EQ(form->saveFileName, earlier);
    EXPECT_TRUE(ui.messages.empty());
}

// The saver reads at most 255 bytes of FILENAME: a longer name is refused
// before anything is written, and one of 255 bytes is saved.
TEST_F(Form3SaveTest, APictureNameTheSaverCannotReadIsRefused) {
    StartForm();
    const QString start = Scratch(QStringLiteral("p"));
    const auto named = [&](int bytes) {
        return start + QString(bytes - start.size() - 4, QLatin1Char('p')) + ".bmp";
    };
    ui.files = {named(256)};
    form->Command3->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].second,
              QStringLiteral("画像ファイル「%1」を保存できません。パスが 255 バイトを超えると、"
                             "スクリーンセーバーが読み込めません。書き込みを中止します。")
                  .arg(named(256)));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_TRUE(QDir(Scratch(QString())).isEmpty());
    ui.files = {named(255)};
    form->Command3->click();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(LoadPicture(named(255)).has_value());
    EXPECT_TRUE(ReadSettingsFile().contains(QStringLiteral("FILENAME=%1\n").arg(named(255))));
}

TEST_F(Form3SaveTest, FirstSaveCreatesTheSettingsFileInItsOrder) {
    StartForm();
    PaintSomething();
    form->HScroll1->setValue(7);
    // Typed without an extension, in the folder the dialog opened in.
    ui.files = {Scratch(QStringLiteral("mine"))};
    form->Command3->click();
    const QString saved = Scratch(QStringLiteral("mine.bmp"));
    EXPECT_EQ(form->saveFileName, saved);
    EXPECT_EQ(ReadSettingsFile(), Settings(saved, QStringLiteral("C:\\"), 7, 255));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_TRUE(ui.fileRequests[0].save);
    EXPECT_EQ(form->CommonDialog2.DefaultExt, QStringLiteral("bmp"));
    EXPECT_EQ(form->CommonDialog2.Filter, QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)|*.bmp"));
    EXPECT_EQ(form->CommonDialog2.FilterIndex, 1);
    EXPECT_TRUE(ui.messages.empty());

    const std::optional<QImage> reloaded = LoadPicture(saved);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(*reloaded, form->Picture1->image());
}

TEST_F(Form3SaveTest, SecondSaveChangesTheValuesInPlace) {
    StartForm();
    ui.files = {Scratch(QStringLiteral("one.bmp"))};
    form->Command3->click();
    form->HScroll1->setValue(0);
    form->penColor = 16711680;
    // The dialog opens with the last name; an existing file is confirmed first.
    ui.files = {Scratch(QStringLiteral("one.bmp"))};
    ui.confirmations = {true};
    form->Command3->click();
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].fileName, Scratch(QStringLiteral("one.bmp")));
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ReadSettingsFile(),
              Settings(Scratch(QStringLiteral("one.bmp")), QStringLiteral("C:\\"), 0, 16711680));
}

TEST_F(Form3SaveTest, AnUnwritablePlaceShowsTheFailureAndWritesNoKey) {
    StartForm();
    // Below a regular file nothing can be created, not even by root.
    const QString plain = Scratch(QStringLiteral("plain"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ui.files = {plain + QStringLiteral("/tex.bmp")};
    form->Command3->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, QStringLiteral("注意"));
    const QString text = ui.messages[0].second;
    EXPECT_TRUE(text.endsWith(QStringLiteral("書き込みを中止します。"))) << text.toStdString();
    EXPECT_GT(text.size(), QStringLiteral("書き込みを中止します。").size());
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    // The path chosen stays chosen.
    EXPECT_EQ(form->saveFileName, plain + QStringLiteral("/tex.bmp"));
}

TEST_F(Form3SaveTest, ConfirmWrites123BesideTheProgram) {
    StartForm();
    PaintSomething();
    form->HScroll1->setValue(4);
    form->Command5->click();
    const QString image = QDir(ProgramDir()).filePath(QStringLiteral("123.bmp"));
    const std::optional<QImage> reloaded = LoadPicture(image);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(*reloaded, form->Picture1->image());
    EXPECT_EQ(ReadSettingsFile(), Settings(image, QStringLiteral("C:\\"), 4, 255));
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Form3SaveTest, ConfirmAfterASaveLeavesTheEarlierFileAndPointsAt123) {
    StartForm();
    ui.files = {Scratch(QStringLiteral("earlier.bmp"))};
    form->Command3->click();
    QFile earlier(Scratch(QStringLiteral("earlier.bmp")));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray before = earlier.readAll();
    earlier.close();
    PaintSomething();
    form->Command5->click();
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), before);
    EXPECT_TRUE(ReadSettingsFile().contains(
        QStringLiteral("FILENAME=%1\n").arg(QDir(ProgramDir()).filePath(QStringLiteral("123.bmp")))));
}

TEST_F(Form3SaveTest, ConfirmThatCannotWriteShowsTheFailureAndWritesNoKey) {
    // The program directory and the data home both lie below a regular file
    // here, so 123.bmp can exist in neither.
    form = std::make_unique<Form3>(ui, Scratch(QStringLiteral("plain/bin")));
    QFile file(Scratch(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", Scratch(QStringLiteral("plain/share")).toLocal8Bit());
    form->LoadSettingsOnStart();
    form->Command5->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, QStringLiteral("注意"));
    EXPECT_TRUE(ui.messages[0].second.endsWith(QStringLiteral("書き込みを中止します。")));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
}

// Without a writable program directory (an install under /usr), the image
// goes to the data home, which is made when missing, and the settings name it.
TEST_F(Form3SaveTest, ConfirmWithoutAWritableProgramDirectoryWritesIntoTheDataHome) {
    const QString plain = Scratch(QStringLiteral("plain"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString& programDirectory : {Scratch(QStringLiteral("missing")), plain, QString()}) {
        QDir(DataHome()).removeRecursively();
        form = std::make_unique<Form3>(ui, programDirectory);
        form->LoadSettingsOnStart();
        form->Command5->click();
        const QString image = DataHome() + QStringLiteral("/vantel/123.bmp");
        EXPECT_TRUE(LoadPicture(image).has_value()) << programDirectory.toStdString();
        EXPECT_TRUE(ReadSettingsFile().contains(QStringLiteral("FILENAME=%1\n").arg(image)))
            << programDirectory.toStdString();
        EXPECT_TRUE(ui.messages.empty()) << programDirectory.toStdString();
    }
}

// A full disk, as far as writers can tell: bytes of any file beyond `limit`
// fail with EFBIG (and no signal) until the object goes.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{limit, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
};

struct FullDiskCase {
    const char* what;
    bool padded;   // settings of nearly the limit, which the new values take beyond it
    rlim_t limit;  // the 256 x 256 bitmap takes 196 662 bytes
    const char* text;
};

void PrintTo(const FullDiskCase& example, std::ostream* out) {
    *out << example.what;
}

class Form3FullDiskTest : public Form3SaveTest, public testing::WithParamInterface<FullDiskCase> {};

// The disk fills up while "設定確定" writes: the box says which file could
// not be written and why, and the picture and the settings stay byte for
// byte as they were, with nothing left beside them.
TEST_P(Form3FullDiskTest, ConfirmLeavesTheOldFilesWholeAndSaysSo) {
    StartForm();
    form->Command5->click();
    // The four new values make the settings longer than the limit, though the
    // first alone makes them shorter: only one write of all four keeps them whole.
    QString settings =
        Settings(QStringLiteral("/old/") + QString(2000, QLatin1Char('o')), QStringLiteral("/old"), 5, 255) +
        QStringLiteral("[PADDING]\n");
    while (GetParam().padded && settings.size() < 262144 - 500)
        settings += QStringLiteral("K=%1\n").arg(QString(100, QLatin1Char('x')));
    WriteSettingsFile(settings);
    const QString image = QDir(ProgramDir()).filePath(QStringLiteral("123.bmp"));
    const auto oldImage = OnDisk(image);
    const auto oldSettings = OnDisk(SettingsPath());

    PaintSomething();
    form->dirPath = QStringLiteral("/") + QString(3000, QLatin1Char('d'));
    {
        const FileSizeLimit full(GetParam().limit);
        form->Command5->click();
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, QStringLiteral("注意"));
    const QString file = GetParam().padded ? SettingsPath() : image;
    EXPECT_EQ(ui.messages[0].second, QString::fromUtf8(GetParam().text).arg(file));
    EXPECT_EQ(OnDisk(SettingsPath()), oldSettings);
    EXPECT_EQ(OnDisk(image), oldImage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Form3FullDiskTest,
    testing::Values(FullDiskCase{"bitmap", false, 100000,
                                 "画像ファイル「%1」を保存できません。ディスクの空き容量が足りません。"
                                 "書き込みを中止します。"},
                    FullDiskCase{"settings", true, 262144,
                                 "設定ファイル「%1」に書き込めません。ディスクの空き容量が足りません。"
                                 "書き込みを中止します。"}));

// Each reason in words of its own, after the file and the step, before the
// words that say writing stopped.
TEST_F(Form3SaveTest, FailureTextsNameTheFileTheStepAndTheReason) {
    const QString folder = Scratch(QString());
    const QString file = Scratch(QStringLiteral("file"));
    WriteBitmap(QImage(1, 1, QImage::Format_RGB32), file);
    const QString missing = Scratch(QStringLiteral("missing"));
    const struct {
        SaveStep step;
        QString refused;
        DWORD error;
        const char* reason;
    } cases[] = {
        {SaveStep::Settings, folder, ERROR_ACCESS_DENIED, "フォルダ「%2」に書き込む権限がありません。"},
        {SaveStep::Settings, file, ERROR_ACCESS_DENIED, "このファイルは読み取り専用です。"},
        {SaveStep::Picture, missing, ERROR_PATH_NOT_FOUND, "フォルダ「%2」がありません。"},
        {SaveStep::Picture, file, ERROR_DISK_FULL, "ディスクの空き容量が足りません。"},
        {SaveStep::Settings, file, ERROR_BAD_FILE_TYPE, "この名前のものは通常のファイルではありません。"},
        {SaveStep::Settings, file, ERROR_FILE_TOO_LARGE, "このファイルは大きすぎて扱えません。"},
        {SaveStep::Picture, file, ERROR_GEN_FAILURE, "システムのエラーです（Input/output error）。"},
    };
    for (const auto& c : cases) {
        const QString lead = c.step == SaveStep::Picture
                                 ? QStringLiteral("画像ファイル「%1」を保存できません。")
                                 : QStringLiteral("設定ファイル「%1」に書き込めません。");
        const QString expected =
            lead + QString::fromUtf8(c.reason) + QStringLiteral("書き込みを中止します。");
        EXPECT_EQ(
            SaveFailureText(c.step, file, c.refused, c.error),
            QString(expected).replace(QStringLiteral("%1"), file).replace(QStringLiteral("%2"), c.refused));
    }
}

}  // namespace
