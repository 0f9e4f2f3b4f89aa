#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <map>

#include "Tool/Translations.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

TEST(ChooseLanguage, TheFirstLanguageTheToolSpeaksDecides) {
    const struct {
        QStringList uiLanguages;
        ToolLanguage expected;
    } cases[] = {
        {{"C"}, ToolLanguage::Japanese},
        {{"POSIX"}, ToolLanguage::Japanese},
        {{"ja-JP", "ja-Jpan-JP", "ja"}, ToolLanguage::Japanese},
        {{"en-US", "en-Latn-US", "en"}, ToolLanguage::English},
        {{"en_GB"}, ToolLanguage::English},
        {{"de-DE", "de-Latn-DE", "de"}, ToolLanguage::English},
        {{"de", "ja", "ja-JP"}, ToolLanguage::Japanese},
        {{"pt-BR", "pt", "en"}, ToolLanguage::English},
        {{"jv-ID"}, ToolLanguage::English},  // Javanese only starts like Japanese
        {{}, ToolLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseLanguage(c.uiLanguages), c.expected)
            << c.uiLanguages.join(QLatin1Char(',')).toStdString();
}

class Translation : public ToolTest {};

// The window and Qt's dialogs speak one language, the window's title in both
// being its name; failures are told in it too.
TEST_F(Translation, WindowMessagesAndQtsDialogsSpeakTheChosenLanguage) {
    const struct {
        ToolLanguage language;
        const char *colour, *open, *speed, *caution, *unreadable, *qtOpen;
    } cases[] = {
        {ToolLanguage::Japanese, "色", "ファイルを開く", "回転", "注意", "画像を読み込めません。", "開く"},
        {ToolLanguage::English, "Color", "Open file…", "Spin", "Caution", "Cannot read the picture.", "Open"},
    };
    const QString fake = Scratch(QStringLiteral("fake.jpg"));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture");
    file.close();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        const ToolTranslators translators(c.language);
        StartForm();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Vantel"));
        EXPECT_EQ(form->Command1->text(), QString::fromUtf8(c.colour));
        EXPECT_EQ(form->Command2->text(), QString::fromUtf8(c.open));
        EXPECT_EQ(form->Label2->text(), QString::fromUtf8(c.speed));
        EXPECT_EQ(QFileDialog::tr("Open"), QString::fromUtf8(c.qtOpen));
        ui.messages.clear();
        ui.files = {fake};
        form->Command2->click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].first, QString::fromUtf8(c.caution));
        EXPECT_TRUE(ui.messages[0].second.startsWith(QString::fromUtf8(c.unreadable)))
            << ui.messages[0].second.toStdString();
    }
}

struct Message {
    QString translation;
    QString type;  // "unfinished", "vanished", ... or empty
};
using Messages = std::map<std::pair<QString, QString>, Message>;  // by context and source

Messages ReadTs(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    Messages messages;
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") context = xml.readElementText();
        if (xml.name() == u"source") source = xml.readElementText();
        if (xml.name() == u"translation") {
            Message& message = messages[{context, source}];
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

const QString kTsFile = QStringLiteral(VANTEL_SOURCE_DIR "/Tool/translations/vantel30_en.ts");

QStringList Placeholders(const QString& text) {
    QStringList found;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

// A text without English shows in Japanese, in glyphs a machine without
// CJK fonts draws as boxes.
TEST(EnglishTranslation, EveryTextHasFinishedEnglishWithItsPlaceholders) {
    const Messages messages = ReadTs(kTsFile);
    ASSERT_FALSE(messages.empty());
    for (const auto& [key, message] : messages) {
        SCOPED_TRACE((key.first + QLatin1Char('/') + key.second).toStdString());
        EXPECT_TRUE(message.type.isEmpty()) << message.type.toStdString();
        EXPECT_FALSE(message.translation.isEmpty());
        EXPECT_EQ(Placeholders(message.translation), Placeholders(key.second));
        for (const QChar c : message.translation)
            EXPECT_LT(c.unicode(), 0x2E80) << message.translation.toStdString();
    }
}

// The file holds exactly the texts the sources ask to translate: after a
// text changes, `--target update_translations` has to run.
TEST(EnglishTranslation, KnowsExactlyTheTextsOfTheSources) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    ASSERT_TRUE(QFile::copy(kTsFile, fresh));
    QStringList sources =
        QDir(QStringLiteral(VANTEL_SOURCE_DIR "/Tool")).entryList({QStringLiteral("*.cpp")});
    for (QString& source : sources) source.prepend(QStringLiteral(VANTEL_SOURCE_DIR "/Tool/"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(VANTEL_LUPDATE),
                  sources + QStringList{"-no-obsolete", "-locations", "none", "-silent", "-ts", fresh});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const Messages kept = ReadTs(kTsFile);
    const Messages wanted = ReadTs(fresh);
    for (const auto& [key, message] : wanted)
        EXPECT_TRUE(kept.count(key)) << "missing " << key.second.toStdString();
    for (const auto& [key, message] : kept)
        EXPECT_TRUE(wanted.count(key)) << "stale " << key.second.toStdString();
}

}  // namespace
