// The tool's "設定確定" replacing the texture bitmap and the settings file
// while saver after saver starts, in two processes as in life.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QApplication>
#include <cstring>
#include <set>

#include "ScreenSaver/DefaultTexture.h"
#include "Tool/Form3.h"
#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Tool/FakeDialogUi.h"

namespace {

// Two canvases that differ in every row, so that a bitmap read half old and
// half new matches neither.
QImage Canvas(int variant) {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, variant == 0 ? qRgb(y, x, 40) : qRgb(40, y, 255 - x));
    return image;
}

bool Shows(const D3DRMIMAGE& texture, const QImage& canvas) {
    if (texture.width != canvas.width() || texture.height != canvas.height()) return false;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(texture.buffer1) +
                                                   static_cast<std::ptrdiff_t>(y) * texture.bytes_per_line);
        for (int x = 0; x < canvas.width(); ++x)
            if ((row[x] & 0xFFFFFFu) != (canvas.pixel(x, y) & 0xFFFFFFu)) return false;
    }
    return true;
}

bool IsBuiltIn(const D3DRMIMAGE& texture) {
    const D3DRMIMAGE& builtIn = *DefaultTextureImage();
    return texture.width == builtIn.width && texture.height == builtIn.height &&
           std::memcmp(texture.buffer1, builtIn.buffer1,
                       static_cast<std::size_t>(builtIn.height) * builtIn.bytes_per_line) == 0;
}

// Confirms the two canvases in turn, for ever; 1 when a confirm failed.
[[noreturn]] void ConfirmForEver(const QString& programDirectory, const QImage (&canvases)[2]) {
    int argc = 1;
    char name[] = "vantel30";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    FakeDialogUi ui;
    Form3 form(ui, programDirectory);
    for (int i = 0;; ++i) {
        form.Picture1->DrawPicture(canvases[i % 2], QPoint(0, 0));
        form.Command5->click();
        if (!ui.messages.empty()) _exit(1);
    }
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
    if (tool.pid == 0) ConfirmForEver(QString::fromStdString(programDirectory), canvases);
    ASSERT_GT(tool.pid, 0);

    // Until the saver has shown both canvases, which shows the race was on.
    std::set<int> shown;
    for (int start = 0; start < 5000 && (start < 500 || shown.size() < 3); ++start) {
        ASSERT_EQ(StartSaver(), 1);
        const D3DRMIMAGE& texture = *BoxTexture->GetImage();
        const int kind = Shows(texture, canvases[0])   ? 0
                         : Shows(texture, canvases[1]) ? 1
                         : IsBuiltIn(texture)          ? 2
                                                       : -1;
        ASSERT_NE(kind, -1) << "start " << start << " shows a torn texture";
        shown.insert(kind);
        StopSaver();
        ASSERT_TRUE(tool.Running()) << "a confirm failed";
    }
    EXPECT_TRUE(shown.count(0) && shown.count(1));
}

}  // namespace
