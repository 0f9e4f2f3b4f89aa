#include "Tool/CommonDialog.h"

#include <QDir>
#include <QFileInfo>

#include "Tool/PenColor.h"

namespace {

QString AnyCasePattern(const QString& pattern) {
    QString spelt;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (c.unicode() < 0x80 && lower != upper) {
            spelt += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        } else {
            spelt += c;
        }
    }
    return spelt;
}

}  // namespace

QString EffectiveDirectory(const QString& initDir) {
    const QFileInfo dir(initDir);
    if (!initDir.isEmpty() && dir.isAbsolute() && dir.isDir()) return dir.absoluteFilePath();
    return QDir::homePath();
}

QString FilterEntry(const QString& description, const QString& patterns) {
    return description.arg(patterns) + QLatin1Char('|') + patterns;
}

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << AnyCasePattern(pattern.trimmed());
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString ResolveFileName(const QString& typed, const QString& directory, const QString& defaultExt) {
    QString path = QDir(directory).absoluteFilePath(typed);
    const QString name = QFileInfo(path).fileName();
    if (!defaultExt.isEmpty() && !name.contains(QLatin1Char('.'))) path += QLatin1Char('.') + defaultExt;
    return QDir::cleanPath(path);
}

void CommonDialog::ShowOpen() {
    ShowFile(false);
}

void CommonDialog::ShowSave() {
    ShowFile(true);
}

void CommonDialog::ShowFile(bool save) {
    FileRequest request;
    request.save = save;
    request.mustExist = (Flags & OFN_FILEMUSTEXIST) != 0;
    request.directory = EffectiveDirectory(InitDir);
    request.fileName = FileName;
    request.nameFilters = QtNameFilters(Filter);
    request.filterIndex = FilterIndex > 0 ? FilterIndex - 1 : 0;
    for (;;) {
        const std::optional<QString> typed = ui_.PickFile(request);
        if (!typed || typed->isEmpty()) {
            FileName.clear();
            return;
        }
        const QString path = ResolveFileName(*typed, request.directory, DefaultExt);
        const QFileInfo file(path);
        request.fileName = path;
        // Refusals return to the dialog, with the name just given.
        if (request.mustExist && !file.isFile()) {
            ui_.Message(tr("開く"),
                        tr("%1\nファイルが見つかりません。\nファイル名を確認してから、やり直してください。")
                            .arg(path));
            continue;
        }
        if (save && (Flags & OFN_OVERWRITEPROMPT) && file.exists() &&
            !ui_.Confirm(tr("名前を付けて保存"),
                         tr("%1 は既に存在します。\n上書きしますか?").arg(file.fileName()))) {
            continue;
        }
        FileName = path;
        return;
    }
}

void CommonDialog::ShowColor() {
    const QColor initial = (Flags & CC_RGBINIT) ? PenColorToQColor(Color) : QColor(Qt::black);
    if (const std::optional<QColor> chosen = ui_.PickColor(initial)) Color = QColorToPenColor(*chosen);
}
