// The common dialog control: one object per use site that keeps its
// property values between showings, as the published control does.
// Cancelling never raises an error (CancelError stays off): after a file
// dialog FileName is empty, after the colour dialog Color is unchanged.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "Tool/DialogUi.h"

// Flags of the file dialogs and of the colour dialog, with their published values.
constexpr std::int32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr std::int32_t OFN_FILEMUSTEXIST = 0x1000;
constexpr std::int32_t CC_RGBINIT = 0x1;

class CommonDialog {
    Q_DECLARE_TR_FUNCTIONS(CommonDialog)

public:
    explicit CommonDialog(DialogUi& ui) : ui_(ui) {}

    QString InitDir;
    // Pairs of "description|patterns", patterns separated by ';'.
    QString Filter;
    int FilterIndex = 0;  // 1 is the first pair
    QString DefaultExt;   // without the dot
    std::int32_t Flags = 0;
    QString FileName;
    std::int32_t Color = 0;  // 0x00BBGGRR

    void ShowOpen();
    void ShowSave();
    void ShowColor();

private:
    void ShowFile(bool save);

    DialogUi& ui_;
};

// The folder a dialog opens in: InitDir when it is an existing absolute
// directory, else the user's home (Windows paths such as "C:\" included).
QString EffectiveDirectory(const QString& initDir);

// One Filter pair: `description` shows the patterns where it says "%1";
// patterns are separated by ';'.
QString FilterEntry(const QString& description, const QString& patterns);

// A Filter in Qt's form. Each pattern is spelt so that it matches its
// extension in any letter case (*.bmp matches A.BMP), and the description
// stays as written.
QStringList QtNameFilters(const QString& filter);

// The full path a typed name stands for: relative names lie in `directory`;
// a name without an extension gets `defaultExt` when there is one.
QString ResolveFileName(const QString& typed, const QString& directory, const QString& defaultExt);
