#include "Tool/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

#include "Tool/Artwork.h"
#include "Tool/Twips.h"

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
    update(touched.translated(contentsRect().topLeft()).intersected(contentsRect()));
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
    painter.drawImage(contentsRect().topLeft(), image_);
}

QPointF Canvas::ToTwips(QPointF widgetPosition) const {
    const QPointF client = widgetPosition - QPointF(contentsRect().topLeft());
    return QPointF(client.x() * TwipsPerPixelX(), client.y() * TwipsPerPixelY());
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
