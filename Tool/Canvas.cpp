#include "Tool/Canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "Tool/Artwork.h"

Canvas::Canvas(QWidget* parent) : QFrame(parent), image_(kImageSize, kImageSize, QImage::Format_RGB32) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setCursor(PencilCursor());
    // Moves without a button held must arrive too: a stroke whose release
    // went elsewhere goes on drawing until the next release.
    setMouseTracking(true);
    image_.fill(Qt::black);
}

void Canvas::MoveTo(QPoint pixel) {
    currentPosition_ = pixel;
}

void Canvas::LineTo(QPoint pixel, const QPen& pen) {
    {
        QPainter painter(&image_);
        painter.setPen(pen);
        painter.drawLine(currentPosition_, pixel);
    }
    // The image holds the segment now; its copy on the screen is scheduled,
    // so the segments of one display frame go out in one copy of what they
    // touched: their box, widened by the pen's reach past its ends.
    const int reach = pen.width() / 2 + 1;
    const QRect touched = QRect(currentPosition_, pixel).normalized().adjusted(-reach, -reach, reach, reach);
    currentPosition_ = pixel;
    update(ToWidget(touched).intersected(contentsRect()));
}

void Canvas::Clear() {
    image_.fill(Qt::black);
}

void Canvas::DrawPicture(const QImage& picture, QPoint at) {
    QPainter painter(&image_);
    painter.drawImage(at, picture);
}

void Canvas::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect(), image_);
}

QPointF Canvas::ImageScale() const {
    const QRect client = contentsRect();
    return QPointF(client.width() > 0 ? double{kImageSize} / client.width() : 1.0,
                   client.height() > 0 ? double{kImageSize} / client.height() : 1.0);
}

QRect Canvas::ToWidget(QRect pixels) const {
    const QPointF scale = ImageScale();
    const QRectF widget(pixels.x() / scale.x(), pixels.y() / scale.y(), pixels.width() / scale.x(),
                        pixels.height() / scale.y());
    return widget.translated(contentsRect().topLeft()).toAlignedRect();
}

QPointF Canvas::ToTwips(QPointF widgetPosition) const {
    const QPointF client = widgetPosition - QPointF(contentsRect().topLeft());
    const QPointF scale = ImageScale();
    // The image pixel shown at the centre of the screen pixel under the
    // pointer, as the stretched copy on the screen samples it.
    const auto pixel = [](double at, double perPixel) {
        return std::floor((std::floor(at) + 0.5) * perPixel);
    };
    return QPointF(pixel(client.x(), scale.x()), pixel(client.y(), scale.y())) * kTwipsPerImagePixel;
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    const QPointF twips = ToTwips(event->position());
    emit MouseDown(static_cast<float>(twips.x()), static_cast<float>(twips.y()));
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF twips = ToTwips(event->position());
    emit MouseMove(static_cast<float>(twips.x()), static_cast<float>(twips.y()));
}

void Canvas::mouseReleaseEvent(QMouseEvent*) {
    emit MouseUp();
}
