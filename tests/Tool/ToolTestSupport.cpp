#include "tests/Tool/ToolTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextDocumentFragment>
#include <QToolTip>

#include "Platform/Win32/Win32Extensions.h"
#include "Settings/Settings.h"
#include "Tool/PictureFile.h"

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "vantel30_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

void ToolTest::SetUp() {
    ASSERT_TRUE(config_.isValid() && data_.isValid() && scratch_.isValid() && programDir_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    Win32SetProfileFileKey(vantel_settings::kSettingSection, vantel_settings::kFileNameKey);
}

void ToolTest::TearDown() {
    form.reset();
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
}

Form3& ToolTest::NewForm() {
    form = std::make_unique<Form3>(ui, ProgramDir());
    return *form;
}

Form3& ToolTest::StartForm() {
    NewForm().LoadSettingsOnStart();
    return *form;
}

QString ShownTip() {
    const QString text = QToolTip::text();
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

QString ToolTest::SettingsPath() const {
    return config_.filePath(QStringLiteral("vantel/Vantel.ini"));
}

QString ToolTest::ReadSettingsFile() const {
    QFile file(SettingsPath());
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

void ToolTest::WriteSettingsFile(const QString& text) const {
    QDir().mkpath(config_.filePath(QStringLiteral("vantel")));
    QFile file(SettingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

void WriteBitmap(const QImage& image, const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(EncodeBmp24(image)), EncodeBmp24(image).size());
}

int CountPixels(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == (color.rgb() & 0xFFFFFFu)) ++count;
    return count;
}

bool OnlyBlackAnd(const QImage& image, const QColor& color) {
    const int black = CountPixels(image, Qt::black);
    const int colored = color == QColor(Qt::black) ? 0 : CountPixels(image, color);
    return black + colored == image.width() * image.height();
}
