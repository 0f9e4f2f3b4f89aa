// Undo and redo, the close question, and what the window says without a
// dialog: the speed and the file a save wrote.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <vector>

#include "Tool/CanvasHistory.h"
#include "Tool/PictureFile.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

constexpr float kTwips = 15.0f;

class Form3EditTest : public ToolTest {
protected:
    // A stroke of several segments, across the canvas at row `y`.
    void Stroke(int y) {
        form->BeginStroke(10 * kTwips, y * kTwips);
        for (int x = 20; x <= 240; x += 20) form->ContinueStroke(x * kTwips, y * kTwips);
        form->EndStroke();
    }
    void Import(const QString& name) {
        QImage picture(32, 32, QImage::Format_RGB32);
        picture.fill(qRgb(0, 200, 90));
        WriteBitmap(picture, Scratch(name));
        ui.files = {Scratch(name)};
        form->Command2->click();
    }
    QImage Canvas() const { return form->Picture1->image().copy(); }
    bool Closes() {
        QCloseEvent event;
        QApplication::sendEvent(form.get(), &event);
        return event.isAccepted();
    }
};

// Each action is one step: undone in reverse with Ctrl+Z, redone forward
// with Ctrl+Shift+Z and Ctrl+Y in turn, every step giving back the canvas
// exactly as it was.
TEST_F(Form3EditTest, EachStrokeClearAndImportIsOneStepBackAndForth) {
    StartForm();
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto press = [&](Qt::KeyboardModifiers modifiers, Qt::Key key) {
        QTest::keyClick(form.get(), key, Qt::ControlModifier | modifiers);
    };
    const std::vector<std::function<void()>> actions = {
        [&] { Stroke(30); },         [&] { Stroke(90); },  [&] { form->Command8->click(); },
        [&] { Import("flat.bmp"); }, [&] { Stroke(200); },
    };
    std::vector<QImage> states = {Canvas()};
    for (const auto& action : actions) {
        action();
        ASSERT_NE(Canvas(), states.back());
        states.push_back(Canvas());
    }
    for (std::size_t i = states.size(); i-- > 0;) {  // the last press has nothing left to undo
        press(Qt::NoModifier, Qt::Key_Z);
        ASSERT_EQ(Canvas(), states[i == 0 ? 0 : i - 1]) << "undo to state " << i;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        i % 2 ? press(Qt::ShiftModifier, Qt::Key_Z) : press(Qt::NoModifier, Qt::Key_Y);
        ASSERT_EQ(Canvas(), states[i]) << "redo to state " << i;
    }
    // A new step after undoing forgets what could have been redone.
    form->UndoCanvas();
    Stroke(120);
    const QImage afterNewStroke = Canvas();
    form->RedoCanvas();
    EXPECT_EQ(Canvas(), afterNewStroke);
}

TEST_F(Form3EditTest, PastTheStepBoundTheOldestStepsAreForgotten) {
    StartForm();
    constexpr int kStrokes = CanvasHistory::kMaxSteps + 6;
    std::vector<QImage> states = {Canvas()};
    for (int i = 0; i < kStrokes; ++i) {
        Stroke(2 + i * 3);
        states.push_back(Canvas());
    }
    for (std::size_t i = 0; i < CanvasHistory::kMaxSteps + 10; ++i) form->UndoCanvas();
    EXPECT_EQ(Canvas(), states[kStrokes - CanvasHistory::kMaxSteps]);
    EXPECT_NE(Canvas(), states[kStrokes - CanvasHistory::kMaxSteps - 1]);
}

// Nothing to lose, painting undone back to what was loaded included, closes
// without a question; otherwise confirming, discarding or staying.
TEST_F(Form3EditTest, ClosingAsksOnlyWhenSomethingIsUnconfirmed) {
    StartForm();
    Stroke(40);
    form->UndoCanvas();
    EXPECT_TRUE(Closes());
    EXPECT_TRUE(ui.choiceRequests.empty());
    const QString confirmed = QDir(ProgramDir()).filePath(QStringLiteral("123.bmp"));
    const struct {
        int answer;
        bool closes, written;
    } cases[] = {{0, true, true}, {1, true, false}, {2, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        QFile::remove(confirmed);
        StartForm();
        Stroke(60);
        ui.choices = {c.answer};
        EXPECT_EQ(Closes(), c.closes);
        EXPECT_EQ(QFile::exists(confirmed), c.written);
        const std::optional<QImage> saved = LoadPicture(confirmed);
        EXPECT_EQ(saved && saved->convertToFormat(QImage::Format_RGB32) == Canvas(), c.written);
    }
    ASSERT_EQ(ui.choiceRequests.size(), 3u);
    EXPECT_EQ(ui.choiceRequests[0].first, QStringLiteral("注意"));
    EXPECT_EQ(ui.choiceRequests[0].second,
              (QStringList{QStringLiteral("設定確定"), QStringLiteral("破棄"), QStringLiteral("閉じない")}));
}

// Each value saved beside the canvas counts on its own: the speed, the pen
// colour or the folder alone changed asks before closing; one changed and
// changed back asks nothing.
TEST_F(Form3EditTest, ClosingAsksForEachSettingAloneButNotForOneChangedBack) {
    const QString first = Scratch(QStringLiteral("first"));
    const QString second = Scratch(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(first) && QDir().mkpath(second));
    WriteSettingsFile(QStringLiteral("[SETTING]\nDIR=%1\nCOLOR=255\n[SS_SECTION]\nSPEED=3\n").arg(first));
    // The very canvas, imported from a folder: the folder alone changes.
    const auto importFrom = [&](const QString& folder) {
        const QString picture = QDir(folder).filePath(QStringLiteral("same.bmp"));
        WriteBitmap(Canvas(), picture);
        ui.files = {picture};
        form->Command2->click();
    };
    const auto pickColour = [&](const QColor& colour) {
        ui.colors = {colour};
        form->Command1->click();
    };
    const struct {
        const char* what;
        std::function<void()> change;
        bool asks;
    } cases[] = {
        {"the speed", [&] { form->HScroll1->setValue(7); }, true},
        {"the pen colour", [&] { pickColour(Qt::green); }, true},
        {"the folder", [&] { importFrom(second); }, true},
        {"the speed and back",
         [&] {
             form->HScroll1->setValue(7);
             form->HScroll1->setValue(3);
         },
         false},
        {"the pen colour and back",
         [&] {
             pickColour(Qt::green);
             pickColour(Qt::red);
         },
         false},
        {"the folder and back",
         [&] {
             importFrom(second);
             importFrom(first);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartForm();
        ASSERT_EQ(form->HScroll1->value(), 3);
        const QImage canvas = Canvas();
        c.change();
        ASSERT_EQ(Canvas(), canvas) << "the canvas changed as well";
        ui.choiceRequests.clear();
        ui.choices = {2};  // stays, when asked
        EXPECT_EQ(Closes(), !c.asks);
        EXPECT_EQ(ui.choiceRequests.size(), c.asks ? 1u : 0u);
    }
}

// The speed as the screensaver turns, and the file a save wrote.
TEST_F(Form3EditTest, TheWindowSaysTheSpeedAndTheFileWritten) {
    StartForm();
    form->show();
    for (const auto& [position, shown] :
         {std::pair{0, "1 度/フレーム"}, {1, "1 度/フレーム"}, {7, "7 度/フレーム"}}) {
        form->HScroll1->setValue(position);
        EXPECT_EQ(form->HScroll1->toolTip(), QString::fromUtf8(shown)) << position;
    }
    form->Command5->click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ShownTip(),
              QStringLiteral("保存しました: %1").arg(QDir(ProgramDir()).filePath(QStringLiteral("123.bmp"))));
    ui.files = {Scratch(QStringLiteral("mine.bmp"))};
    form->Command3->click();
    EXPECT_EQ(ShownTip(), QStringLiteral("保存しました: %1").arg(Scratch(QStringLiteral("mine.bmp"))));
}

// Names that would read as markup show as written.
TEST_F(Form3EditTest, TheFileWrittenShowsAsWritten) {
    StartForm();
    form->show();
    for (const char* name : {"<h1>BIG.bmp", "<img src=pic.png>.bmp", "a &amp; b.bmp"}) {
        ui.files = {Scratch(QString::fromUtf8(name))};
        form->Command3->click();
        EXPECT_EQ(ShownTip(), QStringLiteral("保存しました: %1").arg(Scratch(QString::fromUtf8(name))));
    }
}

// The window activated again after a save (a window manager does it once
// the save dialog has closed) hides tips: the saved tip shows again.
TEST_F(Form3EditTest, TheSavedTipOutlastsTheWindowsActivation) {
    StartForm();
    form->show();
    QWidget other;
    other.show();
    ui.files = {Scratch(QStringLiteral("mine.bmp"))};
    form->Command3->click();
    ASSERT_TRUE(QToolTip::isVisible());
    for (QWidget* active : {&other, static_cast<QWidget*>(form.get())}) {
        active->activateWindow();
        QTest::qWait(50);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(ShownTip(), QStringLiteral("保存しました: %1").arg(Scratch(QStringLiteral("mine.bmp"))));
    }
}

}  // namespace
