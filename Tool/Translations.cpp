#include "Tool/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

// "ja" of "ja-Jpan-JP", "ja_JP" or "ja_JP.UTF-8"; "C" of "C.UTF-8".
QStringView PrimaryLanguage(const QString& tag) {
    qsizetype end = 0;
    while (end < tag.size() && tag[end] != u'-' && tag[end] != u'_' && tag[end] != u'.') ++end;
    return QStringView(tag).left(end);
}

}  // namespace

ToolLanguage ChooseLanguage(const QStringList& uiLanguages) {
    for (const QString& tag : uiLanguages) {
        const QStringView language = PrimaryLanguage(tag);
        if (language == u"C" || language == u"POSIX") return ToolLanguage::Japanese;
        if (language.compare(u"ja", Qt::CaseInsensitive) == 0) return ToolLanguage::Japanese;
        if (language.compare(u"en", Qt::CaseInsensitive) == 0) return ToolLanguage::English;
    }
    return ToolLanguage::English;
}

ToolTranslators::ToolTranslators(ToolLanguage language) {
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == ToolLanguage::English) {
        if (tool_.load(QStringLiteral(":/i18n/vantel30_en.qm"))) QCoreApplication::installTranslator(&tool_);
        // Qt's texts are written in English; its English file adds plural forms.
        if (qt_.load(QStringLiteral("qtbase_en"), qtTranslations)) QCoreApplication::installTranslator(&qt_);
        return;
    }
    if (qt_.load(QStringLiteral("qtbase_ja"), qtTranslations)) QCoreApplication::installTranslator(&qt_);
}
