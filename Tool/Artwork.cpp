#include "Tool/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kCursorSize = 32;
constexpr QPoint kPencilTip(4, 5);

QPixmap DrawPencil() {
    QPixmap pixmap(kCursorSize, kCursorSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The pencil is drawn along +x from its tip, then turned to run from the
    // tip down to the lower right.
    painter.translate(kPencilTip);
    painter.rotate(45.0);
    const QPen outline(Qt::black, 1.0);
    painter.setPen(outline);
    painter.setBrush(QColor(0xE8, 0xC0, 0x8A));
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(9, -4), QPointF(9, 4)}));
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(3.5, -1.6), QPointF(3.5, 1.6)}));
    painter.setBrush(QColor(0xF2, 0xC8, 0x1E));
    painter.drawRect(QRectF(9, -4, 17, 8));
    painter.setPen(QPen(QColor(0xC0, 0x90, 0x10), 1.0));
    painter.drawLine(QPointF(10, 0), QPointF(25, 0));
    painter.setPen(outline);
    painter.setBrush(QColor(0xB0, 0xB0, 0xB8));
    painter.drawRect(QRectF(26, -4, 3, 8));
    painter.setBrush(QColor(0xF0, 0x90, 0xA0));
    painter.drawRoundedRect(QRectF(29, -4, 3.5, 8), 1.5, 1.5);
    return pixmap;
}

}  // namespace

QImage VantelIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    const QPointF top(16, 2), left(3, 9), right(29, 9), centre(16, 16);
    const QPointF bottom(16, 30), lowerLeft(3, 23), lowerRight(29, 23);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x30), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(0x5A, 0x8C, 0xE6));
    painter.drawPolygon(QPolygonF({top, right, centre, left}));
    painter.setBrush(QColor(0x2E, 0x5C, 0xB8));
    painter.drawPolygon(QPolygonF({left, centre, bottom, lowerLeft}));
    painter.setBrush(QColor(0x1E, 0x3C, 0x80));
    painter.drawPolygon(QPolygonF({centre, right, lowerRight, bottom}));
    // A freehand red stroke on the right face: the texture painted in the tool.
    QPainterPath stroke(QPointF(19, 22));
    stroke.cubicTo(QPointF(21, 15), QPointF(24, 22), QPointF(26, 14));
    painter.setPen(QPen(QColor(0xF0, 0x30, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stroke);
    painter.end();
    return image;
}

QCursor PencilCursor() {
    return QCursor(DrawPencil(), kPencilTip.x(), kPencilTip.y());
}

QIcon VantelIcon() {
    QIcon icon;
    for (const int size : {16, 32, 64}) icon.addPixmap(QPixmap::fromImage(VantelIconImage(size)));
    return icon;
}
