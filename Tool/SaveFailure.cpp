#include "Tool/SaveFailure.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "Platform/Win32/Win32.h"

namespace {

QString WritingStopped() {
    return QCoreApplication::translate("Form3", "書き込みを中止します。");
}

QString SystemDescription(DWORD error) {
    char text[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, text, sizeof text, nullptr);
    return length > 0 ? QString::fromLocal8Bit(text, static_cast<qsizetype>(length)) : QString::number(error);
}

QString Reason(const QString& refused, DWORD error) {
    const QFileInfo where(refused);
    switch (error) {
        case ERROR_ACCESS_DENIED:
            if (where.isDir())
                return QCoreApplication::translate("Form3", "フォルダ「%1」に書き込む権限がありません。")
                    .arg(refused);
            if (where.exists() && !where.isReadable())
                return QCoreApplication::translate("Form3", "このファイルを読む権限がありません。");
            return QCoreApplication::translate("Form3", "このファイルは読み取り専用です。");
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return QCoreApplication::translate("Form3", "フォルダ「%1」がありません。").arg(refused);
        case ERROR_DISK_FULL:
            return QCoreApplication::translate("Form3", "ディスクの空き容量が足りません。");
        case ERROR_BAD_FILE_TYPE:
            return QCoreApplication::translate("Form3", "この名前のものは通常のファイルではありません。");
        case ERROR_FILE_TOO_LARGE:
            return QCoreApplication::translate("Form3", "このファイルは大きすぎて扱えません。");
        case ERROR_INVALID_PARAMETER:
            return QCoreApplication::translate("Form3", "設定ファイルが使う名前には保存できません。");
        default:
            return QCoreApplication::translate("Form3", "システムのエラーです（%1）。")
                .arg(SystemDescription(error));
    }
}

}  // namespace

QString SaveFailureText(SaveStep step, const QString& file, const QString& refused, DWORD error) {
    const QString what =
        step == SaveStep::Picture
            ? QCoreApplication::translate("Form3", "画像ファイル「%1」を保存できません。").arg(file)
            : QCoreApplication::translate("Form3", "設定ファイル「%1」に書き込めません。").arg(file);
    return what + Reason(refused, error) + WritingStopped();
}

QString PathTooLongText(const QString& path, std::size_t limit) {
    return QCoreApplication::translate("Form3", "画像ファイル「%1」を保存できません。").arg(path) +
           QCoreApplication::translate("Form3",
                                       "パスが %1 バイトを超えると、スクリーンセーバーが読み込めません。")
               .arg(limit) +
           WritingStopped();
}
