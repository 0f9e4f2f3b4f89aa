#include "Tool/ConfirmedImage.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "Settings/Settings.h"

QString ConfirmedImagePath(const QString& programDirectory) {
    const QString name = QString::fromUtf8(vantel_settings::kTextureFileName);
    const QFileInfo program(programDirectory);
    if (!programDirectory.isEmpty() && program.isDir() && program.isWritable())
        return QDir(programDirectory).filePath(name);
    const QDir data(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') +
                    QString::fromUtf8(vantel_settings::kProfileFolder));
    // A directory that cannot be made shows up as the image's write failure.
    data.mkpath(QStringLiteral("."));
    return data.filePath(name);
}
