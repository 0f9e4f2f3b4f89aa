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
    const QRect client = contentsRect();
    if (client.size() == image_.size()) {
        painter.drawImage(client.topLeft(), image_);
        return;
    }
    // Stretched here rather than by the painter, through the pointer's own
    // mapping: a stroke paints the very pixel shown under the pointer.
    const QRect area = event->rect().intersected(client);
    if (area.isEmpty()) return;
    QImage shown(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        const int row = ImagePixelAt(area.top() + y - client.top(), client.height());
        const auto* from = reinterpret_cast<const QRgb*>(image_.constScanLine(row));
        auto* to = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < area.width(); ++x)
            to[x] = from[ImagePixelAt(area.left() + x - client.left(), client.width())];
    }
    painter.drawImage(area.topLeft(), shown);
}

int Canvas::ImagePixelAt(int clientPixel, int clientSize) {
    if (clientSize <= 0) return 0;
    // The image pixel under the client pixel's centre; exact in doubles, so
    // that a centre on a boundary goes the same way every time.
    const double at = std::floor((2.0 * clientPixel + 1.0) * kImageSize / (2.0 * clientSize));
    return static_cast<int>(at);
}

QRect Canvas::ToWidget(QRect pixels) const {
    const QRect client = contentsRect();
    const double sx = double(client.width()) / kImageSize;
    const double sy = double(client.height()) / kImageSize;
    const QRectF widget(pixels.x() * sx, pixels.y() * sy, pixels.width() * sx, pixels.height() * sy);
    return widget.translated(client.topLeft()).toAlignedRect().adjusted(-1, -1, 1, 1);
}

QPointF Canvas::ToTwips(QPointF widgetPosition) const {
    const QRect client = contentsRect();
    const QPointF at = widgetPosition - QPointF(client.topLeft());
    const int x = ImagePixelAt(static_cast<int>(std::floor(at.x())), client.width());
    const int y = ImagePixelAt(static_cast<int>(std::floor(at.y())), client.height());
    return QPointF(x, y) * kTwipsPerImagePixel;
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
