// What the tool asks of the person in front of it: file and colour choice,
// yes/no questions and notices. The window and its common dialogs ask only
// through this interface, so tests can answer in place of a person.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

struct FileRequest {
    bool save = false;        // a save dialog, else an open dialog
    bool mustExist = false;   // only existing files can be chosen
    QString directory;        // the folder the dialog opens in; it exists
    QString fileName;         // the name the dialog opens with, maybe empty
    QStringList nameFilters;  // Qt form, "description (pattern pattern)"
    int filterIndex = 0;      // into nameFilters
};

class DialogUi {
public:
    virtual ~DialogUi() = default;
    // The name the person typed or picked, as given (absolute or relative
    // to the request's directory); nullopt or empty when cancelled.
    virtual std::optional<QString> PickFile(const FileRequest& request) = 0;
    // The colour chosen, starting from `initial`; nullopt when cancelled.
    virtual std::optional<QColor> PickColor(const QColor& initial) = 0;
    // A question with yes and no; true for yes.
    virtual bool Confirm(const QString& title, const QString& question) = 0;
    // A modal notice with only an OK button and no icon.
    virtual void Message(const QString& title, const QString& text) = 0;
    // A question with one button per answer, the first the default; the
    // index of the answer chosen. Closing the box chooses the last answer,
    // which must be the one that changes nothing.
    virtual int Choose(const QString& title, const QString& question, const QStringList& answers) = 0;
};
