// What the window says without a dialog: the speed as the slider moves and
// the file a save has written.
#include <QDir>
#include <QToolTip>
#include <algorithm>

#include "Tool/Form3.h"

namespace {

// Long enough to read a path, short enough not to linger over the next action.
constexpr int kSavedTipMilliseconds = 5000;

QPoint Above(const QWidget* widget) {
    return widget->mapToGlobal(QPoint(0, -widget->height()));
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
    QToolTip::showText(Above(near), tr("保存しました: %1").arg(QDir::toNativeSeparators(path)), near, QRect(),
                       kSavedTipMilliseconds);
}
