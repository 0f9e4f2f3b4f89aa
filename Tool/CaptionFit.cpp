#include "Tool/CaptionFit.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace {

// Below this a caption is no longer read; it is left cut off.
constexpr double kSmallestPointSize = 5.0;

bool Fits(const QFont& font, const QString& caption, int width) {
    return QFontMetrics(font).horizontalAdvance(caption) + kCaptionMargin <= width;
}

}  // namespace

void FitCaption(QWidget* control, const QString& caption) {
    control->ensurePolished();
    QFont font = control->font();
    if (Fits(font, caption, control->width())) return;
    double points = QFontInfo(font).pointSizeF();
    do {
        points -= 0.5;
        font.setPointSizeF(points);
    } while (points > kSmallestPointSize && !Fits(font, caption, control->width()));
    control->setFont(font);
}
