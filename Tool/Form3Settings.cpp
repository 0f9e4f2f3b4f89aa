// Start-up from the settings file, and the two buttons that write it.
#include <QFile>
#include <algorithm>
#include <array>
#include <string_view>

#include "Platform/Win32/Win32Extensions.h"
#include "Settings/FixedText.h"
#include "Settings/NumberText.h"
#include "Settings/Settings.h"
#include "Tool/ConfirmedImage.h"
#include "Tool/Form3.h"
#include "Tool/PenColor.h"
#include "Tool/PictureFile.h"
#include "Tool/SaveFailure.h"

namespace {

namespace settings = vantel_settings;

constexpr int kStartPenWidth = 30;
constexpr std::int32_t kDefaultPenColor = 255;
QString SaveFilter() {
    return FilterEntry(Form3::tr("ﾋﾞｯﾄﾏｯﾌﾟ(%1)"), QStringLiteral("*.bmp"));
}

using SettingBuffer = std::array<char, settings::kToolReadBytes>;

SettingBuffer ReadSetting(const char* section, const char* key, const char* fallback) {
    SettingBuffer buffer{};
    GetPrivateProfileStringA(section, key, fallback, buffer.data(), static_cast<DWORD>(buffer.size()),
                             settings::kIniFileName);
    return buffer;
}

// A path or directory as the tool's fixed-length text holds it: at most
// kToolBufferSize - 1 characters, never half a character, without the
// blanks at its end.
QString SettingText(const SettingBuffer& buffer) {
    const std::string_view bytes = settings::TextBeforeZero(std::string_view(buffer.data(), buffer.size()));
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    qsizetype length = std::min<qsizetype>(text.size(), settings::kToolBufferSize - 1);
    if (length < text.size() && text.at(length - 1).isHighSurrogate()) --length;
    text.truncate(length);
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

std::string_view SettingNumberText(const SettingBuffer& buffer) {
    return settings::TextBeforeZero(std::string_view(buffer.data(), buffer.size()));
}

// A speed outside the slider's range, or beyond 16 bits, takes the nearest
// end of the range rather than leaving the slider where it was.
int SliderPosition(std::string_view text, int minimum, int maximum) {
    if (const std::optional<std::int16_t> speed = settings::ReadInteger16(text))
        return std::clamp<int>(*speed, minimum, maximum);
    if (const std::optional<double> number = settings::ReadLeadingNumber(text))
        return *number < 0 ? minimum : maximum;
    // Too large even for a double: its sign is the first one in the text.
    const std::size_t sign = text.find_first_not_of(" \t\r\n");
    return sign != std::string_view::npos && text[sign] == '-' ? minimum : maximum;
}

void WriteSetting(const char* section, const char* key, const QString& value) {
    WritePrivateProfileStringA(section, key, value.toUtf8().constData(), settings::kIniFileName);
}

// What stopped the save of the picture at `picture` with its settings.
QString SaveFailure(const QString& picture) {
    const DWORD error = GetLastError();
    char refused[4096];
    const int item = Win32GetProfileUpdateFailure(refused, sizeof refused);
    if (item > 0) return SaveFailureText(SaveStep::Picture, picture, QString::fromLocal8Bit(refused), error);
    char settingsFile[4096];
    Win32GetProfilePath(settings::kIniFileName, settingsFile, sizeof settingsFile);
    return SaveFailureText(SaveStep::Settings, QString::fromLocal8Bit(settingsFile),
                           QString::fromLocal8Bit(refused), error);
}

}  // namespace

void Form3::LoadSettingsOnStart() {
    // Each value loads on its own: one that cannot be used leaves its own
    // default and the others still load. The texture and the values beside
    // it come from one save.
    Win32BeginProfileRead(settings::kIniFileName, settings::kReadWaitMilliseconds);
    textureFile = SettingText(
        ReadSetting(settings::kSettingSection, settings::kFileNameKey, settings::kToolDefaultFileName));
    const SettingBuffer speedText =
        ReadSetting(settings::kSaverSection, settings::kSpeedKey, settings::kToolDefaultSpeed);
    const SettingBuffer colorText =
        ReadSetting(settings::kSettingSection, settings::kColorKey, settings::kToolDefaultColor);
    dirPath =
        SettingText(ReadSetting(settings::kSettingSection, settings::kDirKey, settings::kToolDefaultDir));

    if (!textureFile.isEmpty()) {
        // Where a save that stalls keeps it meanwhile, when we may not finish that save.
        char readFrom[4096];
        const QByteArray name = QFile::encodeName(textureFile);
        const QString source = Win32GetProfileFileToRead(name.constData(), readFrom, sizeof readFrom) > 0
                                   ? QFile::decodeName(readFrom)
                                   : textureFile;
        if (const std::optional<QImage> texture = LoadPicture(source))
            Picture1->DrawPicture(*texture, QPoint(0, 0));
    }
    Win32EndProfileRead();
    Picture1->repaint();
    HScroll1->setValue(
        SliderPosition(SettingNumberText(speedText), HScroll1->minimum(), HScroll1->maximum()));
    penColor = settings::ReadInteger32(SettingNumberText(colorText)).value_or(kDefaultPenColor);
    Picture2->SetBackColor(PenColorToQColor(penColor));
    penWidth = kStartPenWidth;
    textureFile.clear();
    NoteConfirmed();
}

void Form3::SaveImageAndSettings() {
    if (!dirPath.isEmpty()) CommonDialog2.InitDir = dirPath;
    CommonDialog2.Filter = SaveFilter();
    CommonDialog2.FilterIndex = 1;
    CommonDialog2.DefaultExt = QStringLiteral("bmp");
    CommonDialog2.Flags = OFN_OVERWRITEPROMPT;
    CommonDialog2.ShowSave();
    if (CommonDialog2.FileName.isEmpty()) return;
    saveFileName = CommonDialog2.FileName;
    if (WriteImageAndSettings(saveFileName)) ShowSaved(Command3, saveFileName);
}

void Form3::ConfirmSettings() {
    const QString path = ConfirmedImagePath(programDirectory_);
    if (WriteImageAndSettings(path)) ShowSaved(Command5, path);
}

bool Form3::WriteImageAndSettings(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // The screensaver reads no more of FILENAME than this: it would show its
    // built-in texture instead of this one.
    constexpr std::size_t kLongest = settings::kSaverFileNameBufferSize - 1;
    if (static_cast<std::size_t>(name.size()) > kLongest) {
        Caution(PathTooLongText(path, kLongest));
        return false;
    }
    const QByteArray bitmap = EncodeBmp24(Picture1->image());
    // The picture and the four keys as one update: a failure anywhere, a
    // crash or another tool saving at the same time leaves the old picture
    // beside the old settings or the new beside the new, never a mixture.
    Win32BeginProfileUpdate(settings::kIniFileName);
    WriteSetting(settings::kSettingSection, settings::kFileNameKey, path);
    WriteSetting(settings::kSettingSection, settings::kDirKey, dirPath);
    WriteSetting(settings::kSaverSection, settings::kSpeedKey, QString::number(HScroll1->value()));
    WriteSetting(settings::kSettingSection, settings::kColorKey, QString::number(penColor));
    Win32AddProfileUpdateFile(name.constData(), bitmap.constData(), static_cast<DWORD>(bitmap.size()));
    if (!Win32EndProfileUpdate()) {
        Caution(SaveFailure(path));
        return false;
    }
    NoteConfirmed();
    return true;
}
