#include "Tool/ConfirmedImage.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kConfirmedImage = QStringLiteral("123.bmp");

}  // namespace

QString ConfirmedImagePath(const QString& programDirectory) {
    const QFileInfo program(programDirectory);
    if (!programDirectory.isEmpty() && program.isDir() && program.isWritable())
        return QDir(programDirectory).filePath(kConfirmedImage);
    const QDir data(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                    QStringLiteral("/vantel"));
    // A directory that cannot be made shows up as the image's write failure.
    data.mkpath(QStringLiteral("."));
    return data.filePath(kConfirmedImage);
}
