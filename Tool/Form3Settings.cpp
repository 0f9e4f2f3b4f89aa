// Start-up from the settings file, and the two buttons that write it.
#include <algorithm>
#include <array>
#include <string_view>

#include "Platform/Win32/Win32.h"
#include "Settings/FixedText.h"
#include "Settings/NumberText.h"
#include "Settings/Settings.h"
#include "Tool/ConfirmedImage.h"
#include "Tool/Form3.h"
#include "Tool/PenColor.h"
#include "Tool/PictureFile.h"

namespace {

namespace settings = vantel_settings;

constexpr int kStartPenWidth = 30;
constexpr std::int32_t kDefaultPenColor = 255;
QString WritingStopped() {
    return Form3::tr("書き込みを中止します。");
}
QString SaveFilter() {
    return FilterEntry(Form3::tr("ﾋﾞｯﾄﾏｯﾌﾟ(%1)"), QStringLiteral("*.bmp"));
}

using SettingBuffer = std::array<char, settings::kToolBufferSize>;

SettingBuffer ReadSetting(const char* section, const char* key, const char* fallback) {
    SettingBuffer buffer{};
    GetPrivateProfileStringA(section, key, fallback, buffer.data(), static_cast<DWORD>(buffer.size()),
                             settings::kIniFileName);
    return buffer;
}

QString SettingText(const SettingBuffer& buffer) {
    const std::string_view value = settings::FixedTextValue(std::string_view(buffer.data(), buffer.size()));
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
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

QString SystemErrorText(DWORD error) {
    char text[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, text, sizeof text, nullptr);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(length));
}

}  // namespace

void Form3::LoadSettingsOnStart() {
    // Each value loads on its own: one that cannot be used leaves its own
    // default and the others still load.
    textureFile = SettingText(
        ReadSetting(settings::kSettingSection, settings::kFileNameKey, settings::kToolDefaultFileName));
    const SettingBuffer speedText =
        ReadSetting(settings::kSaverSection, settings::kSpeedKey, settings::kToolDefaultSpeed);
    const SettingBuffer colorText =
        ReadSetting(settings::kSettingSection, settings::kColorKey, settings::kToolDefaultColor);
    dirPath =
        SettingText(ReadSetting(settings::kSettingSection, settings::kDirKey, settings::kToolDefaultDir));

    if (!textureFile.isEmpty()) {
        if (const std::optional<QImage> texture = LoadPicture(textureFile))
            Picture1->DrawPicture(*texture, QPoint(0, 0));
    }
    Picture1->repaint();
    HScroll1->setValue(
        SliderPosition(SettingNumberText(speedText), HScroll1->minimum(), HScroll1->maximum()));
    penColor = settings::ReadInteger32(SettingNumberText(colorText)).value_or(kDefaultPenColor);
    Picture2->SetBackColor(PenColorToQColor(penColor));
    penWidth = kStartPenWidth;
    textureFile.clear();
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
    WriteImageAndSettings(saveFileName);
}

void Form3::ConfirmSettings() {
    WriteImageAndSettings(ConfirmedImagePath(programDirectory_));
}

void Form3::WriteImageAndSettings(const QString& path) {
    // The keys follow only a complete image, so the settings never name a
    // file that was not written.
    if (const std::optional<QString> failure = SaveBitmapFile(Picture1->image(), path)) {
        Caution(*failure + WritingStopped());
        return;
    }
    // All four keys or none: a crash or a full disk half-way must not leave
    // the new image's name beside the old speed.
    Win32BeginProfileUpdate(settings::kIniFileName);
    WriteSetting(settings::kSettingSection, settings::kFileNameKey, path);
    WriteSetting(settings::kSettingSection, settings::kDirKey, dirPath);
    WriteSetting(settings::kSaverSection, settings::kSpeedKey, QString::number(HScroll1->value()));
    WriteSetting(settings::kSettingSection, settings::kColorKey, QString::number(penColor));
    if (!Win32EndProfileUpdate()) Caution(SystemErrorText(GetLastError()) + WritingStopped());
}
