#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "tests/Tool/ToolTestSupport.h"

namespace {

class Form3ColourTest : public ToolTest {};

TEST_F(Form3ColourTest, CancelKeepsColourAndSwatch) {
    Form3& window = StartForm();
    window.Command1->click();
    EXPECT_EQ(window.penColor, 255);
    EXPECT_EQ(window.Picture2->BackColor(), QColor(255, 0, 0));
    ASSERT_EQ(ui.colorRequests.size(), 1u);
    EXPECT_EQ(ui.colorRequests[0], QColor(255, 0, 0));
}

TEST_F(Form3ColourTest, BlueTurnsSwatchAndNextStrokeBlueAndIsSavedAs16711680) {
    Form3& window = StartForm();
    ui.colors = {QColor(0, 0, 255)};
    window.Command1->click();
    EXPECT_EQ(window.penColor, 16711680);
    EXPECT_EQ(window.Picture2->BackColor(), QColor(0, 0, 255));
    EXPECT_FALSE(QFile::exists(SettingsPath()));

    window.BeginStroke(600, 600);
    window.ContinueStroke(1800, 600);
    window.EndStroke();
    EXPECT_EQ(window.Picture1->image().pixel(80, 40), qRgb(0, 0, 255));

    window.Command5->click();
    EXPECT_TRUE(ReadSettingsFile().contains(QStringLiteral("COLOR=16711680\n")));
    // The next showing starts from the chosen colour.
    window.Command1->click();
    ASSERT_EQ(ui.colorRequests.size(), 2u);
    EXPECT_EQ(ui.colorRequests[1], QColor(0, 0, 255));
}

class Form3PreviewTest : public ToolTest {};

// A stand-in screensaver in the program directory writes down how it was
// started; the tool does not wait for it, so the test waits for its note.
TEST_F(Form3PreviewTest, StartsTheScreensaverBesideTheToolInSaverMode) {
    const QString note = Scratch(QStringLiteral("note"));
    const QString saver = QDir(ProgramDir()).filePath(QStringLiteral("vantel"));
    QFile script(saver);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > '%1.tmp'\n"
                                "mv '%1.tmp' '%1'\n")
                     .arg(note)
                     .toUtf8());
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    Form3& window = StartForm();
    window.HScroll1->setValue(9);
    window.Command4->click();

    QDeadlineTimer deadline(30000);
    while (!QFile::exists(note) && !deadline.hasExpired()) QThread::msleep(20);
    QFile written(note);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              QStringLiteral("%1\n[/s]\n").arg(QDir(ProgramDir()).canonicalPath()));
    // Nothing is saved before the launch.
    EXPECT_FALSE(QFile::exists(SettingsPath()));
}

}  // namespace
