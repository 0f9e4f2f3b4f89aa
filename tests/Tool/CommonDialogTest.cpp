#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "Tool/CommonDialog.h"
#include "tests/Tool/FakeDialogUi.h"

namespace {

bool Touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

TEST(QtNameFiltersTest, KeepsTheDescriptionAndMatchesEveryLetterCase) {
    const QStringList filters =
        QtNameFilters(QStringLiteral("画像ﾌｧｲﾙ(*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif"));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("画像ﾌｧｲﾙ(*.bmp;*.jpg;*.gif) (")));

    // Qt reads the patterns from the last parentheses, split at blanks.
    const qsizetype open = filters[0].lastIndexOf(QLatin1Char('('));
    const QStringList patterns =
        filters[0].mid(open + 1, filters[0].size() - open - 2).split(QLatin1Char(' '));
    ASSERT_EQ(patterns.size(), 3);
    const auto matches = [&](const QString& name) {
        for (const QString& pattern : patterns) {
            const QRegularExpression glob(QRegularExpression::wildcardToRegularExpression(pattern));
            if (glob.match(name).hasMatch()) return true;
        }
        return false;
    };
    const struct {
        const char* name;
        bool listed;
    } cases[] = {
        {"a.bmp", true},  {"A.BMP", true}, {"photo.JPG", true}, {"Anim.Gif", true},
        {"a.png", false}, {"bmp", false},  {"a.bmpx", false},   {"a.jpeg", false},
    };
    for (const auto& c : cases) EXPECT_EQ(matches(QString::fromLatin1(c.name)), c.listed) << c.name;
}

TEST(ResolveFileNameTest, RelativeNamesAndDefaultExtension) {
    const struct {
        const char* typed;
        const char* defaultExt;
        const char* expected;
    } cases[] = {
        {"pic", "bmp", "/data/pic.bmp"},           {"pic.bmp", "bmp", "/data/pic.bmp"},
        {"pic.png", "bmp", "/data/pic.png"},       {"pic", "", "/data/pic"},
        {"/other/pic", "bmp", "/other/pic.bmp"},   {"sub/pic", "bmp", "/data/sub/pic.bmp"},
        {"/my.dir/pic", "bmp", "/my.dir/pic.bmp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveFileName(QString::fromLatin1(c.typed), QStringLiteral("/data"),
                                  QString::fromLatin1(c.defaultExt)),
                  QString::fromLatin1(c.expected))
            << c.typed;
}

TEST(EffectiveDirectoryTest, WindowsAndMissingFoldersOpenAtHome) {
    QTemporaryDir existing;
    ASSERT_TRUE(existing.isValid());
    EXPECT_EQ(EffectiveDirectory(existing.path()), existing.path());
    for (const QString& unusable : {QStringLiteral("C:\\"), QString(),
                                    existing.filePath(QStringLiteral("gone")), QStringLiteral("rel")})
        EXPECT_EQ(EffectiveDirectory(unusable), QDir::homePath()) << unusable.toStdString();
}

class CommonDialogFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
    FakeDialogUi ui;
    CommonDialog dialog{ui};
};

TEST_F(CommonDialogFilesTest, SaveAddsTheDefaultExtensionInTheStartFolder) {
    dialog.InitDir = dir.path();
    dialog.DefaultExt = QStringLiteral("bmp");
    ui.files = {QStringLiteral("texture")};
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName, dir.filePath(QStringLiteral("texture.bmp")));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_TRUE(ui.fileRequests[0].save);
    EXPECT_EQ(ui.fileRequests[0].directory, dir.path());
}

TEST_F(CommonDialogFilesTest, OverwriteIsAskedAndRefusalReturnsToTheDialog) {
    const QString existing = dir.filePath(QStringLiteral("old.bmp"));
    ASSERT_TRUE(Touch(existing));
    dialog.InitDir = dir.path();
    dialog.Flags = OFN_OVERWRITEPROMPT;
    ui.files = {existing, existing};
    ui.confirmations = {false, true};
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName, existing);
    EXPECT_EQ(ui.questions.size(), 2u);
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].fileName, existing);
}

TEST_F(CommonDialogFilesTest, OpenMustExistRefusesMissingFiles) {
    const QString present = dir.filePath(QStringLiteral("there.gif"));
    ASSERT_TRUE(Touch(present));
    dialog.Flags = OFN_FILEMUSTEXIST;
    ui.files = {dir.filePath(QStringLiteral("missing.gif")), present};
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, present);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.fileRequests[0].mustExist);
    EXPECT_FALSE(ui.fileRequests[0].save);
}

TEST_F(CommonDialogFilesTest, CancelEmptiesTheNameAndTheNextShowingStartsFromTheLastChoice) {
    dialog.InitDir = dir.path();
    ui.files = {QStringLiteral("a.bmp"), std::nullopt};
    dialog.ShowSave();
    const QString chosen = dialog.FileName;
    EXPECT_EQ(chosen, dir.filePath(QStringLiteral("a.bmp")));
    dialog.ShowSave();
    EXPECT_TRUE(dialog.FileName.isEmpty());
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_TRUE(ui.fileRequests[0].fileName.isEmpty());
    EXPECT_EQ(ui.fileRequests[1].fileName, chosen);
}

TEST(CommonDialogColorTest, StartsFromColorAndKeepsItOnCancel) {
    FakeDialogUi ui;
    CommonDialog dialog(ui);
    dialog.Color = 0x0000FF00;
    dialog.Flags = CC_RGBINIT;
    ui.colors = {QColor(0, 0, 255), std::nullopt};
    dialog.ShowColor();
    EXPECT_EQ(dialog.Color, 16711680);
    dialog.ShowColor();
    EXPECT_EQ(dialog.Color, 16711680);
    ASSERT_EQ(ui.colorRequests.size(), 2u);
    EXPECT_EQ(ui.colorRequests[0], QColor(0, 255, 0));
    EXPECT_EQ(ui.colorRequests[1], QColor(0, 0, 255));
}

}  // namespace
