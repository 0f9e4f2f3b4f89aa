#include "Tool/QtDialogUi.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

std::optional<QString> QtDialogUi::PickFile(const FileRequest& request) {
    QFileDialog dialog(owner_);
    // The common dialog checks names itself: overwrite questions and default
    // extensions go through this same interface.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDirectory(request.directory);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        dialog.selectNameFilter(request.nameFilters.value(request.filterIndex));
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.first();
}

std::optional<QColor> QtDialogUi::PickColor(const QColor& initial) {
    const QColor chosen =
        QColorDialog::getColor(initial, owner_, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

bool QtDialogUi::Confirm(const QString& title, const QString& question) {
    QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No, owner_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogUi::Message(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    // A notice may name a file to look into: its text can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

int QtDialogUi::Choose(const QString& title, const QString& question, const QStringList& answers) {
    QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::NoButton, owner_);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const bool last = i + 1 == answers.size();
        buttons.append(box.addButton(answers[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return static_cast<int>(chosen < 0 ? answers.size() - 1 : chosen);
}
