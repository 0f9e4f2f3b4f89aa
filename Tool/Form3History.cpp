// Undo and redo of the canvas, from the keyboard.
#include <QKeySequence>
#include <QShortcut>

#include "Tool/Form3.h"

void Form3::BuildShortcuts() {
    const auto bind = [this](const QKeySequence& keys, void (Form3::*handler)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), &Form3::UndoCanvas);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &Form3::RedoCanvas);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Y), &Form3::RedoCanvas);
}

void Form3::RememberCanvas() {
    history_.Record(Picture1->image());
}

void Form3::RestoreCanvas(const QImage& image) {
    // A stroke still held down goes on from the restored canvas as a new step.
    strokeRemembered_ = false;
    Picture1->DrawPicture(image, QPoint(0, 0));
    Picture1->repaint();
}

void Form3::UndoCanvas() {
    if (const std::optional<QImage> previous = history_.Undo(Picture1->image())) RestoreCanvas(*previous);
}

void Form3::RedoCanvas() {
    if (const std::optional<QImage> next = history_.Redo(Picture1->image())) RestoreCanvas(*next);
}
