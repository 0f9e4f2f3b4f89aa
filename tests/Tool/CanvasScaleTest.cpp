// The canvas on a screen of 192 dots per inch with Qt's scaling off (this
// test's environment): the canvas is twice as large on the screen as its
// image, and a stroke still lands under the pointer anywhere on it, and in
// the saved picture.
#include <QApplication>
#include <QDir>
#include <QMouseEvent>

#include "Tool/PictureFile.h"
#include "Tool/Twips.h"
#include "tests/Tool/ToolTestSupport.h"

namespace {

class CanvasScaleTest : public ToolTest {
protected:
    // A press, a move on the same spot and a release, at `at` in the
    // canvas's client area.
    void Dot(QPoint at) {
        const QPointF widget = QPointF(at + form->Picture1->contentsRect().topLeft());
        const struct {
            QEvent::Type type;
            Qt::MouseButton button;
            Qt::MouseButtons held;
        } steps[] = {{QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton},
                     {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton},
                     {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton}};
        for (const auto& step : steps) {
            QMouseEvent event(step.type, widget, form->Picture1->mapToGlobal(widget), step.button, step.held,
                              Qt::NoModifier);
            QApplication::sendEvent(form->Picture1, &event);
        }
    }
};

TEST_F(CanvasScaleTest, StrokesLandUnderThePointerOverTheWholeCanvasAndAreSaved) {
    ASSERT_FLOAT_EQ(TwipsPerPixelX(), 7.5f) << "not a 192-dpi screen without Qt's scaling";
    StartForm();
    form->penWidth = 0;  // one pixel wide: each dot paints one image pixel
    form->penColor = 0x00FFFFFF;
    const QRect client = form->Picture1->contentsRect();
    ASSERT_GE(client.width(), 2 * Canvas::kImageSize);
    const int right = client.width() - 1;
    const int bottom = client.height() - 1;
    // Corners, and spots whose centres fall on, near and between the
    // boundaries of image pixels (451.5 is exactly pixel 224's edge).
    const QPoint spots[] = {{0, 0},     {right, 0}, {0, bottom}, {right, bottom}, {client.width() / 2, 3},
                            {300, 450}, {309, 451}, {511, 257}};
    for (const QPoint spot : spots) Dot(spot);

    EXPECT_EQ(CountPixels(form->Picture1->image(), Qt::white), static_cast<int>(std::size(spots)));
    const QImage shown = form->Picture1->grab().toImage();
    for (const QPoint spot : spots)
        EXPECT_EQ(shown.pixel(spot + client.topLeft()), qRgb(255, 255, 255)) << spot.x() << "," << spot.y();
    // The corners of the canvas are the corners of the image.
    for (const QPoint corner : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255)})
        EXPECT_EQ(form->Picture1->image().pixel(corner), qRgb(255, 255, 255))
            << corner.x() << "," << corner.y();

    form->ConfirmSettings();
    const std::optional<QImage> saved = LoadPicture(QDir(ProgramDir()).filePath(QStringLiteral("123.bmp")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->size(), QSize(Canvas::kImageSize, Canvas::kImageSize));
    EXPECT_EQ(*saved, form->Picture1->image());
}

}  // namespace
