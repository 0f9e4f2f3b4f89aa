// The tool's "設定確定" replacing the texture bitmap and the settings file
// while saver after saver starts, in separate processes as in life.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "Platform/Win32/Profile/ProfileFault.h"
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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
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

// Runs `use` on a tool's window in a process of its own, which ends with
// what `use` returns.
template <typename Use>
pid_t StartToolWith(const std::string& programDirectory, Use use) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    int argc = 1;
    char name[] = "vantel30";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    FakeDialogUi ui;
    Form3 form(ui, QString::fromStdString(programDirectory));
    _exit(use(form, ui));
}

// Confirms `canvas` at `speed` in a tool process of its own until killed;
// it ends with 1 when a confirm failed.
pid_t StartTool(const std::string& programDirectory, const QImage& canvas, int speed) {
    return StartToolWith(programDirectory, [&](Form3& form, FakeDialogUi& ui) {
        form.Picture1->DrawPicture(canvas, QPoint(0, 0));
        form.HScroll1->setValue(speed);
        // Keeps each confirm's settings beside the old picture for a while,
        // which a saver reading without the lock would catch.
        win32_profile::SetProfileCommitPause(std::chrono::milliseconds(2));
        while (ui.messages.empty()) form.Command5->click();
        return 1;
    });
}

// Two tools confirm their own canvas and speed against each other while
// saver after saver starts: each shows a whole texture with the speed
// confirmed with it, or, before the first confirm, the built-in one.
TEST_F(SaverSceneTest, ASaverStartingWhileToolsConfirmShowsAWholePictureWithItsOwnSpeed) {
    const std::string programDirectory = configDir_ + "/program";
    ASSERT_EQ(mkdir(programDirectory.c_str(), 0700), 0);
    const QImage canvases[2] = {Canvas(0), Canvas(1)};
    const int speeds[2] = {3, 7};
    const ToolProcess tools[2] = {{StartTool(programDirectory, canvases[0], speeds[0])},
                                  {StartTool(programDirectory, canvases[1], speeds[1])}};
    ASSERT_GT(tools[0].pid, 0);
    ASSERT_GT(tools[1].pid, 0);

    const Texels expected[3] = {TexelsOf(canvases[0].constBits(), 256, 256, canvases[0].bytesPerLine()),
                                TexelsOf(canvases[1].constBits(), 256, 256, canvases[1].bytesPerLine()),
                                TexelsOf(*DefaultTextureImage())};
    const int expectedSpeeds[3] = {speeds[0], speeds[1], 5};
    // Until the saver has shown both canvases, which shows the race was on.
    std::set<long> shown;
    for (int start = 0; start < 5000 && (start < 300 || !shown.count(0) || !shown.count(1)); ++start) {
        ASSERT_EQ(StartSaver(), 1);
        const auto match =
            std::find(std::begin(expected), std::end(expected), TexelsOf(*BoxTexture->GetImage()));
        ASSERT_NE(match, std::end(expected)) << "start " << start << " shows a torn texture";
        const long which = match - std::begin(expected);
        ASSERT_EQ(static_cast<int>(Speed), expectedSpeeds[which])
            << "start " << start << " shows canvas " << which;
        shown.insert(which);
        StopSaver();
        ASSERT_TRUE(tools[0].Running() && tools[1].Running()) << "a confirm failed";
    }
    EXPECT_TRUE(shown.count(0) && shown.count(1));
}

// Confirms canvas 0 at speed 3, then canvas 1 at speed 7 with the picture's
// rename held back `stall` after the settings'; ends with 0 when both saved.
pid_t StartStalledTool(const std::string& programDirectory, std::chrono::milliseconds stall) {
    return StartToolWith(programDirectory, [&](Form3& form, FakeDialogUi& ui) {
        for (const int variant : {0, 1}) {
            form.Picture1->DrawPicture(Canvas(variant), QPoint(0, 0));
            form.HScroll1->setValue(variant == 0 ? 3 : 7);
            if (variant == 1) win32_profile::SetProfileCommitPause(stall);
            form.Command5->click();
        }
        return ui.messages.empty() ? 0 : 1;
    });
}

// A confirm that stalls between the settings and the picture for longer than
// a saver waits: the saver starts within its wait and shows the new picture
// with the new speed, and the stalled confirm still succeeds.
TEST_F(SaverSceneTest, ASaverStartingDuringAStalledConfirmShowsItsWholePairInTime) {
    const std::string programDirectory = configDir_ + "/program";
    ASSERT_EQ(mkdir(programDirectory.c_str(), 0700), 0);
    ToolProcess tool{StartStalledTool(programDirectory, std::chrono::milliseconds(3000))};
    ASSERT_GT(tool.pid, 0);
    const std::string settings = configDir_ + "/vantel/Vantel.ini";
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadFile(settings).find("SPEED=7") == std::string::npos &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(StartSaver(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500));
    const QImage canvas = Canvas(1);
    EXPECT_EQ(TexelsOf(*BoxTexture->GetImage()),
              TexelsOf(canvas.constBits(), 256, 256, canvas.bytesPerLine()));
    EXPECT_EQ(static_cast<int>(Speed), 7);
    StopSaver();
    int status = 0;
    ASSERT_EQ(waitpid(tool.pid, &status, 0), tool.pid);
    tool.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the stalled confirm failed";
}

}  // namespace
