// Undo and redo of the canvas, from the keyboard.
#include <QKeySequence>
#include <QShortcut>

#include "Tool/Form3.h"

void Form3::BuildShortcuts() {
    const auto bind = [this](QKeySequence::StandardKey action, QList<QKeySequence> extra,
                             void (Form3::*handler)()) {
        // The desktop's own keys first; a key it already has is bound once,
        // as two shortcuts on one key would both stay silent.
        QList<QKeySequence> keys = QKeySequence::keyBindings(action);
        for (const QKeySequence& key : extra)
            if (!keys.contains(key)) keys.append(key);
        for (const QKeySequence& key : keys)
            connect(new QShortcut(key, this), &QShortcut::activated, this, handler);
    };
    // Redo answers both keys people know, whichever the desktop names.
    bind(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &Form3::UndoCanvas);
    bind(QKeySequence::Redo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
         &Form3::RedoCanvas);
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
