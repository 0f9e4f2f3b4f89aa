// Closing the window: painting or settings not yet confirmed are not lost
// without a question.
#include <QCloseEvent>

#include "Tool/ConfirmedImage.h"
#include "Tool/Form3.h"

void Form3::NoteConfirmed() {
    confirmed_.image = Picture1->image();
    confirmed_.speed = HScroll1->value();
    confirmed_.color = penColor;
    confirmed_.dir = dirPath;
}

bool Form3::Unconfirmed() const {
    // Compared, not flagged: painting undone back to what was saved asks nothing.
    return confirmed_.image != Picture1->image() || confirmed_.speed != HScroll1->value() ||
           confirmed_.color != penColor || confirmed_.dir != dirPath;
}

void Form3::closeEvent(QCloseEvent* event) {
    if (!Unconfirmed()) return event->accept();
    enum Answer { kConfirm, kDiscard, kStay };
    const int answer =
        ui_.Choose(tr("注意"), tr("絵または設定がまだ確定されていません。確定してから閉じますか?"),
                   {tr("設定確定"), tr("破棄"), tr("閉じない")});
    const bool close = answer == kDiscard ||
                       (answer == kConfirm && WriteImageAndSettings(ConfirmedImagePath(programDirectory_)));
    if (close)
        event->accept();
    else
        event->ignore();
}
