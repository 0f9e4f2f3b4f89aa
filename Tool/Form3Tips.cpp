// What the window says without a dialog: the speed as the slider moves and
// the file a save has written.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <chrono>

#include "Tool/Form3.h"

namespace {

// Long enough to read a path, short enough not to linger over the next action.
constexpr std::chrono::milliseconds kSavedTip{5000};

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
    // button asks for that tip, and an empty one would hide this one. Markup
    // in a name shows as written.
    const QString text = QStringLiteral("<p style='white-space:pre'>%1</p>")
                             .arg(tr("保存しました: %1").arg(QDir::toNativeSeparators(path)).toHtmlEscaped());
    near->setToolTip(text);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + kSavedTip;
    const auto show = [near, text, until] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() > 0 && near->toolTip() == text)
            QToolTip::showText(Above(near), text, near, QRect(), static_cast<int>(left.count()));
    };
    show();
    // Every change of the active window or focus hides a tip, and one comes
    // after a save: a window manager activates the window a moment after the
    // save dialog closes, and without one the next click does. The tip then
    // shows again for the time it has left.
    const auto again = [near, show] { QTimer::singleShot(0, near, show); };
    const QMetaObject::Connection windows =
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, near, again);
    const QMetaObject::Connection widgets = QObject::connect(qApp, &QApplication::focusChanged, near, again);
    QTimer::singleShot(kSavedTip, near, [near, text, windows, widgets] {
        QObject::disconnect(windows);
        QObject::disconnect(widgets);
        if (near->toolTip() == text) near->setToolTip(QString());
    });
}
