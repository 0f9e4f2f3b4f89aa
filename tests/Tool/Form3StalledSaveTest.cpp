// A tool started while another's save stalls between the settings and the
// picture, for longer than the tool waits at start-up.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <chrono>
#include <thread>

#include "Platform/Win32/Profile/ProfileFault.h"
#include "Platform/Win32/Win32Extensions.h"
#include "Settings/Settings.h"
#include "Tool/PictureFile.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

QImage Texture(int variant) {
    QImage texture(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) texture.setPixel(x, y, variant == 0 ? qRgb(x, y, 9) : qRgb(9, x, y));
    return texture;
}

class Form3StalledSaveTest : public ToolTest {
protected:
    // Saves `texture` at `speed` as the tool does, holding the picture's
    // rename back `stall` after the settings'.
    static bool Save(const QString& picture, const QImage& texture, int speed,
                     std::chrono::milliseconds stall) {
        const QByteArray name = QFile::encodeName(picture);
        const QByteArray bytes = EncodeBmp24(texture);
        const QByteArray speedText = QByteArray::number(speed);
        win32_profile::SetProfileCommitPause(stall);
        Win32BeginProfileUpdate(vantel_settings::kIniFileName);
        WritePrivateProfileStringA("SETTING", "FILENAME", name.constData(), vantel_settings::kIniFileName);
        WritePrivateProfileStringA("SS_SECTION", "SPEED", speedText.constData(),
                                   vantel_settings::kIniFileName);
        Win32AddProfileUpdateFile(name.constData(), bytes.constData(), static_cast<DWORD>(bytes.size()));
        const bool saved = Win32EndProfileUpdate() == TRUE;
        win32_profile::SetProfileCommitPause(std::chrono::milliseconds(0));
        return saved;
    }
};

TEST_F(Form3StalledSaveTest, AToolStartedMeanwhileShowsAndKeepsTheWholeNewPair) {
    const QString picture = Scratch(QStringLiteral("p.bmp"));
    ASSERT_TRUE(Save(picture, Texture(0), 3, std::chrono::milliseconds(0)));
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) _exit(Save(picture, Texture(1), 7, std::chrono::milliseconds(3000)) ? 0 : 1);
    const auto giveUp = Clock::now() + std::chrono::seconds(20);
    while (!ReadSettingsFile().contains(QStringLiteral("SPEED=7")) && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    const auto started = Clock::now();
    Form3& window = StartForm();
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(2500));
    EXPECT_EQ(window.Picture1->image(), Texture(1));
    EXPECT_EQ(window.HScroll1->value(), 7);

    // Its own confirm waits for the stalled save, then saves what it shows.
    window.ConfirmSettings();
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the stalled save failed";
    EXPECT_TRUE(ui.messages.empty());
    const std::optional<QImage> saved = LoadPicture(QDir(ProgramDir()).filePath(QStringLiteral("123.bmp")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, Texture(1));
    EXPECT_TRUE(ReadSettingsFile().contains(QStringLiteral("SPEED=7")));
}

}  // namespace
