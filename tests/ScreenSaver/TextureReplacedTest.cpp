// The tool's "設定確定" replacing the texture bitmap and the settings file
// while saver after saver starts, in two processes as in life.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QApplication>
#include <algorithm>
#include <set>
#include <vector>

#include "ScreenSaver/DefaultTexture.h"
#include "Tool/Form3.h"
#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Tool/FakeDialogUi.h"

namespace {

using Texels = std::vector<std::uint32_t>;

// 32-bit pixels as 0x00RRGGBB: a texture's and a QImage's alike.
Texels TexelsOf(const void* bits, int width, int height, std::ptrdiff_t pitch) {
    Texels texels;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(bits) + y * pitch);
        for (int x = 0; x < width; ++x) texels.push_back(row[x] & 0xFFFFFFu);
    }
    return texels;
}

Texels TexelsOf(const D3DRMIMAGE& image) {
    return TexelsOf(image.buffer1, image.width, image.height, image.bytes_per_line);
}

// Two canvases that differ in every row, so that a bitmap read half old and
// half new matches neither.
QImage Canvas(int variant) {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, variant == 0 ? qRgb(y, x, 40) : qRgb(40, y, 255 - x));
    return image;
}

// The tool's process ends with the test, however the test ends.
struct ToolProcess {
    pid_t pid;
    ~ToolProcess() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    bool Running() const { return waitpid(pid, nullptr, WNOHANG) == 0; }
};

TEST_F(SaverSceneTest, ATextureReplacedWhileTheSaverStartsIsOldNewOrBuiltInNeverTorn) {
    const std::string programDirectory = configDir_ + "/program";
    ASSERT_EQ(mkdir(programDirectory.c_str(), 0700), 0);
    const QImage canvases[2] = {Canvas(0), Canvas(1)};
    const ToolProcess tool{fork()};
    if (tool.pid == 0) {
        // Confirms the two canvases in turn until killed; 1 when one failed.
        int argc = 1;
        char name[] = "vantel30";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        FakeDialogUi ui;
        Form3 form(ui, QString::fromStdString(programDirectory));
        for (int i = 0; ui.messages.empty(); ++i) {
            form.Picture1->DrawPicture(canvases[i % 2], QPoint(0, 0));
            form.Command5->click();
        }
        _exit(1);
    }
    ASSERT_GT(tool.pid, 0);

    const Texels expected[3] = {TexelsOf(canvases[0].constBits(), 256, 256, canvases[0].bytesPerLine()),
                                TexelsOf(canvases[1].constBits(), 256, 256, canvases[1].bytesPerLine()),
                                TexelsOf(*DefaultTextureImage())};
    // Until the saver has shown both canvases, which shows the race was on.
    std::set<long> shown;
    for (int start = 0; start < 5000 && (start < 500 || !shown.count(0) || !shown.count(1)); ++start) {
        ASSERT_EQ(StartSaver(), 1);
        const auto match =
            std::find(std::begin(expected), std::end(expected), TexelsOf(*BoxTexture->GetImage()));
        ASSERT_NE(match, std::end(expected)) << "start " << start << " shows a torn texture";
        shown.insert(match - std::begin(expected));
        StopSaver();
        ASSERT_TRUE(tool.Running()) << "a confirm failed";
    }
    EXPECT_TRUE(shown.count(0) && shown.count(1));
}

}  // namespace
