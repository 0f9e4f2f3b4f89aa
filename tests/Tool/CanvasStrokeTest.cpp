#include <QApplication>
#include <QMouseEvent>

#include "Tool/PenColor.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

constexpr float kTwips = 15.0f;  // per pixel at 96 dots per inch

class CanvasStrokeTest : public ToolTest {
protected:
    // A stroke through pixel positions, through the window's handlers.
    void Stroke(std::initializer_list<QPointF> pixels) {
        auto point = pixels.begin();
        form->BeginStroke(point->x() * kTwips, point->y() * kTwips);
        for (++point; point != pixels.end(); ++point)
            form->ContinueStroke(point->x() * kTwips, point->y() * kTwips);
        form->EndStroke();
    }
    const QImage& Image() const { return form->Picture1->image(); }
    bool Painted(int x, int y) const { return Image().pixel(x, y) != qRgb(0, 0, 0); }
    // Pointer events on the canvas widget, positions in canvas pixels.
    void Send(QEvent::Type type, QPoint pixel, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF at = QPointF(pixel + form->Picture1->contentsRect().topLeft());
        QMouseEvent event(type, at, form->Picture1->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->Picture1, &event);
    }
};

TEST_F(CanvasStrokeTest, PressAndReleaseWithoutMovingLeavesNoMark) {
    StartForm();
    Stroke({{100, 100}});
    EXPECT_EQ(CountPixels(Image(), Qt::black), 256 * 256);
}

// Through the pointer events, past the canvas's frame and the twips: a
// press, a move that stays on the same pixel and a release with the
// one-pixel pen draw a segment from that pixel to itself, which paints that
// pixel and no other (a press and release alone paint nothing, above).
TEST_F(CanvasStrokeTest, ASegmentOnOnePixelPaintsThatPixelOnly) {
    NewForm();  // penWidth 0: one pixel wide
    form->penColor = 0x00FFFFFF;
    const QPoint pixel(100, 60);
    Send(QEvent::MouseButtonPress, pixel, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, pixel, Qt::NoButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, pixel, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Image().pixel(pixel), qRgb(255, 255, 255));
    EXPECT_EQ(CountPixels(Image(), Qt::white), 1);
}

TEST_F(CanvasStrokeTest, MovesWithoutAPressDrawNothingWhateverButtonsTheyReport) {
    StartForm();
    form->ContinueStroke(10 * kTwips, 10 * kTwips);
    form->ContinueStroke(200 * kTwips, 200 * kTwips);
    Send(QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::LeftButton);
    Send(QEvent::MouseMove, {150, 60}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(CountPixels(Image(), Qt::black), 256 * 256);
    EXPECT_FALSE(form->drawing);
}

TEST_F(CanvasStrokeTest, ThickStrokeIsSolidPenColorWithRoundEnds) {
    StartForm();  // red pen, 30 pixels
    Stroke({{60, 100}, {160, 100}});
    const QColor red(255, 0, 0);
    EXPECT_TRUE(OnlyBlackAnd(Image(), red));
    const struct {
        int x, y;
        bool painted;
    } probes[] = {
        {110, 100, true},
        {110, 86, true},
        {110, 114, true},
        {110, 84, false},
        {110, 116, false},
        {46, 100, true},
        {174, 100, true},
        {44, 100, false},
        {176, 100, false},
        // Square ends would reach the corners; round ones do not.
        {172, 112, false},
        {48, 88, false},
        {170, 108, true},
    };
    for (const auto& p : probes) EXPECT_EQ(Painted(p.x, p.y), p.painted) << p.x << "," << p.y;
}

TEST_F(CanvasStrokeTest, ThinPenIsFifteenPixelsAndSegmentsJoinWithoutGaps) {
    StartForm();
    form->SelectThinPen();
    EXPECT_EQ(form->penWidth, 15);
    Stroke({{40, 40}, {120, 40}, {120, 140}});
    for (int x = 40; x <= 120; ++x) EXPECT_TRUE(Painted(x, 40)) << x;
    for (int y = 40; y <= 140; ++y) EXPECT_TRUE(Painted(120, y)) << y;
    EXPECT_TRUE(Painted(80, 33));
    EXPECT_FALSE(Painted(80, 31));
    // The outer corner of the join is round.
    EXPECT_TRUE(Painted(125, 36));
    EXPECT_FALSE(Painted(127, 33));
}

TEST_F(CanvasStrokeTest, WidthZeroPaintsOnePixelWide) {
    NewForm();  // before start-up: penWidth 0, penColor 0 (black)
    form->penColor = 0x00FFFFFF;
    Stroke({{20, 50}, {200, 50}});
    for (const int x : {20, 100, 200}) {
        EXPECT_TRUE(Painted(x, 50)) << x;
        EXPECT_FALSE(Painted(x, 49)) << x;
        EXPECT_FALSE(Painted(x, 51)) << x;
    }
    EXPECT_EQ(CountPixels(Image(), Qt::white), 181);
}

TEST_F(CanvasStrokeTest, HalfPixelPositionsRoundToEven) {
    NewForm();
    form->penColor = 0x00FFFFFF;
    // 22.5 twips is pixel 1.5 and 37.5 twips pixel 2.5: both land on 2.
    form->BeginStroke(22.5f, 300.0f);
    form->ContinueStroke(37.5f, 600.0f);
    form->EndStroke();
    for (int y = 20; y < 40; ++y) {
        EXPECT_TRUE(Painted(2, y)) << y;
        EXPECT_FALSE(Painted(1, y)) << y;
        EXPECT_FALSE(Painted(3, y)) << y;
    }
}

TEST_F(CanvasStrokeTest, PositionsBeyondTheCanvasAreDrawnTowardsAndClipped) {
    StartForm();
    Stroke({{200, 128}, {400, 128}, {400, -50}});
    EXPECT_TRUE(Painted(255, 128));
    EXPECT_TRUE(Painted(255, 140));
    EXPECT_FALSE(Painted(255, 150));
}

TEST_F(CanvasStrokeTest, AStrokeKeepsTheWidthAndColourItStartedWith) {
    StartForm();
    form->BeginStroke(40 * kTwips, 60 * kTwips);
    form->SelectThinPen();
    form->penColor = 0x0000FF00;
    form->ContinueStroke(200 * kTwips, 60 * kTwips);
    form->EndStroke();
    EXPECT_TRUE(OnlyBlackAnd(Image(), QColor(255, 0, 0)));
    EXPECT_TRUE(Painted(120, 74));
    // The next stroke takes the new pen.
    Stroke({{40, 180}, {200, 180}});
    EXPECT_EQ(Image().pixel(120, 180), qRgb(0, 255, 0));
    EXPECT_FALSE(Painted(120, 189));
}

TEST_F(CanvasStrokeTest, EveryButtonPaintsThroughThePointerEvents) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        StartForm();
        Send(QEvent::MouseButtonPress, {30, 30}, button, button);
        Send(QEvent::MouseMove, {90, 30}, Qt::NoButton, button);
        Send(QEvent::MouseButtonRelease, {90, 30}, button, Qt::NoButton);
        EXPECT_TRUE(Painted(60, 30)) << button;
        EXPECT_TRUE(Painted(60, 44)) << button;
        EXPECT_FALSE(form->drawing);
        // After the release moves draw nothing more.
        Send(QEvent::MouseMove, {30, 200}, Qt::NoButton, Qt::NoButton);
        EXPECT_FALSE(Painted(30, 200)) << button;
    }
}

TEST_F(CanvasStrokeTest, AStrokeWhoseReleaseNeverCameGoesOnDrawingOnButtonlessMoves) {
    StartForm();
    Send(QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
    // The release went elsewhere: the pointer comes back with no button held.
    Send(QEvent::MouseMove, {90, 30}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(Painted(60, 30));
    EXPECT_TRUE(form->drawing);
}

TEST_F(CanvasStrokeTest, ClearTurnsTheWholeCanvasBlackAndKeepsThePen) {
    StartForm();
    form->SelectThinPen();
    Stroke({{10, 10}, {250, 250}});
    ASSERT_GT(CountPixels(Image(), QColor(255, 0, 0)), 0);
    form->Command8->click();
    EXPECT_EQ(CountPixels(Image(), Qt::black), 256 * 256);
    EXPECT_EQ(form->penWidth, 15);
    EXPECT_EQ(form->penColor, 255);
}

}  // namespace
