// What the window says without a dialog: the speed as the slider moves and
// the file a save has written.
#include <QDir>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "Tool/Form3.h"

namespace {

// Long enough to read a path, short enough not to linger over the next action.
constexpr int kSavedTipMilliseconds = 5000;

// Where a tip clears `widget`: a tip that came under the pointer resting on
// the widget would make the pointer leave it, which hides the tip.
QPoint Above(const QWidget* widget) {
    return widget->mapToGlobal(QPoint(0, -2 * widget->height()));
}

}  // namespace

void Form3::ShowSpeed(int position) {
    // The screensaver turns at least one degree a frame: 0 turns as 1.
    const QString text = tr("%1 度/フレーム").arg(std::max(position, 1));
    HScroll1->setToolTip(text);
    if (HScroll1->isSliderDown() || HScroll1->underMouse())
        QToolTip::showText(Above(HScroll1) + QPoint(HScroll1->width() / 2, 0), text, HScroll1);
}

void Form3::ShowSaved(QWidget* near, const QString& path) {
    // Also the button's own tip while it lasts: the pointer resting on the
    // button asks for that tip, and an empty one would hide this one.
    const QString text = tr("保存しました: %1").arg(QDir::toNativeSeparators(path));
    near->setToolTip(text);
    QToolTip::showText(Above(near), text, near, QRect(), kSavedTipMilliseconds);
    QTimer::singleShot(kSavedTipMilliseconds, near, [near, text] {
        if (near->toolTip() == text) near->setToolTip(QString());
    });
}
