// DialogUi with Qt's own (non-native) file and colour dialogs and message
// boxes, modal over the tool's window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "Tool/DialogUi.h"

class QtDialogUi : public DialogUi {
public:
    explicit QtDialogUi(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    std::optional<QString> PickFile(const FileRequest& request) override;
    std::optional<QColor> PickColor(const QColor& initial) override;
    bool Confirm(const QString& title, const QString& question) override;
    void Message(const QString& title, const QString& text) override;
    int Choose(const QString& title, const QString& question, const QStringList& answers) override;

private:
    QPointer<QWidget> owner_;
};
