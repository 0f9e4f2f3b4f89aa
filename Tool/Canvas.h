// Picture1, the painting canvas: a sunken two-pixel frame around a black
// client area that shows the one persistent 256 x 256 canvas image.
//
// The canvas owns that image. Strokes, clearing, the start-up texture and
// imports all draw into it, saving reads it, and paintEvent only copies it
// to the screen, stretched over the whole client area. Pointer events leave
// as signals with the position in twips from the client area's top-left
// corner, as the window's handlers expect, at the canvas's own scale: one
// image pixel is kTwipsPerImagePixel twips wherever the client area makes
// it larger on the screen (a screen of more dots per inch without Qt's
// scaling), so that a stroke lands under the pointer.
#pragma once

#include <QFrame>
#include <QImage>
#include <QPen>
#include <QPoint>

class Canvas : public QFrame {
    Q_OBJECT
public:
    static constexpr int kImageSize = 256;
    // The design's: an image pixel is a screen pixel at 96 dots per inch.
    static constexpr float kTwipsPerImagePixel = 15.0f;

    explicit Canvas(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }

    // The drawing context's current position, in image pixels.
    void MoveTo(QPoint pixel);
    // A straight segment from the current position to `pixel` with `pen`;
    // `pixel` becomes the current position. The image changes at once; the
    // screen shows it from the next display update on.
    void LineTo(QPoint pixel, const QPen& pen);
    // Fills the whole image with black. Does not repaint.
    void Clear();
    // Copies `picture` unscaled with its top-left corner at `at`; what falls
    // outside the image is cut off. Does not repaint.
    void DrawPicture(const QImage& picture, QPoint at);

signals:
    void MouseDown(float xTwips, float yTwips);
    void MouseMove(float xTwips, float yTwips);
    void MouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF ToTwips(QPointF widgetPosition) const;
    // The image pixel (in x or y) shown at a pixel of a client area
    // `clientSize` pixels long; outside the area, beyond the image.
    static int ImagePixelAt(int clientPixel, int clientSize);
    // A widget rectangle that covers what shows `pixels` of the image.
    QRect ToWidget(QRect pixels) const;

    QImage image_;
    QPoint currentPosition_;
};
