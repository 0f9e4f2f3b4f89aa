#include "Tool/ProgramDirectory.h"

#include <QFileInfo>
#include <vector>

#include "Platform/Win32/Win32.h"

QString ProgramDirectory() {
    std::vector<char> path(4096);
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return QString();
    return QFileInfo(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(length))).absolutePath();
}
